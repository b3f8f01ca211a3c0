<?xml version="1.0" encoding="UTF-8"?>
<!-- A summary of the open knowledge base: for each of its networks, every question with the
     answer it holds. The program lists every style sheet of its folder in the Reports menu. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes"/>

  <xsl:variable name="title" select="/kelvanedocument/kelvanenetwork[1]/network/networkname/string"/>

  <xsl:template match="/">
    <html>
      <head>
        <meta charset="UTF-8"/>
        <title>Summary: <xsl:value-of select="$title"/></title>
        <style>
          body { font-family: sans-serif; margin: 2em; }
          table { border-collapse: collapse; margin-bottom: 2em; }
          th, td { border: 1px solid #999; padding: 0.3em 0.6em; text-align: left; vertical-align: top; }
          th { background: #eee; }
          .open { color: #777; }
        </style>
      </head>
      <body>
        <h1><xsl:value-of select="$title"/></h1>
        <xsl:apply-templates select="kelvanedocument/kelvanenetwork"/>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="kelvanenetwork">
    <xsl:variable name="network" select="network"/>
    <xsl:if test="position() &gt; 1">
      <h2><xsl:value-of select="$network/networkname/string"/></h2>
    </xsl:if>
    <xsl:if test="normalize-space($network/author/string)">
      <p>Author: <xsl:value-of select="$network/author/string"/></p>
    </xsl:if>
    <xsl:if test="normalize-space($network/scenarioname/string)">
      <p>Scenario: <xsl:value-of select="$network/scenarioname/string"/></p>
    </xsl:if>
    <table>
      <tr><th>Node</th><th>Question</th><th>Answer</th></tr>
      <xsl:for-each select="node">
        <xsl:sort select="layerindex" data-type="number" order="descending"/>
        <xsl:sort select="nodeindex" data-type="number"/>
        <tr>
          <td><xsl:value-of select="nodename/string"/></td>
          <td><xsl:value-of select="question/string"/></td>
          <xsl:choose>
            <xsl:when test="answered = 'true'">
              <td>true to <xsl:value-of select="round(answervalue * 100)"/>%</td>
            </xsl:when>
            <xsl:otherwise>
              <td class="open">not answered</td>
            </xsl:otherwise>
          </xsl:choose>
        </tr>
      </xsl:for-each>
    </table>
  </xsl:template>
</xsl:stylesheet>
