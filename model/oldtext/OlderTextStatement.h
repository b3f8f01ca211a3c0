#pragma once

#include "platform/RuntimeError.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>
#include <functional>
#include <memory>

namespace kelvane {

class TextLabel;

// One statement of a brace block of the older text form: a key, "=" or " is ", and a value,
// ended by ";". Keys compare without regard to case; values keep their case. Line breaks
// in the statement are dropped before key and value are taken.
class OlderTextStatement {
public:
    explicit OlderTextStatement(const QString& text);

    // The statements of a block: split at each ";" outside double quotes. The text after the
    // last ";" is not a statement.
    static QStringList split(const QString& block);

    // Carries out `apply` on the statement `text`. When one of its conversions is refused
    // as a type mismatch, carries it out once more with every "," turned into "." (numbers
    // written with a decimal comma); a second refusal is raised to the caller.
    template <class Apply>
    static void carryOut(const QString& text, Apply&& apply)
    {
        try {
            apply(OlderTextStatement(text));
        } catch (const RuntimeError& error) {
            if (error.Number() != err::TypeMismatch || !text.contains(u','))
                throw;
            apply(OlderTextStatement(QString(text).replace(u',', u'.')));
        }
    }

    const QString& text() const { return m_text; }
    const QString& key() const { return m_key; }
    // The value without its enclosing pair of quotes, otherwise as written.
    const QString& quotedValue() const { return m_quotedValue; }
    // The value without any double quote: what most statements use.
    const QString& value() const { return m_value; }

    // The key is `name`, in any letter case.
    bool is(QStringView name) const;
    // The key holds `fragment`, in any letter case.
    bool mentions(QStringView fragment) const;

    // The number of a numbered key such as "Ubo_Property_3_Name": the characters after the
    // first `prefixLength` up to the next "_". InvalidProcedureCall when no "_" follows.
    qint16 familyNumber(qsizetype prefixLength) const;

    // A font or colour statement of a label: `prefix` + "_Font_Size", "_Font_Bold",
    // "_Font_Italic", "_Font_Underline", "_Font_Strikethru" and "_Colour", and `fontNameKey`
    // for the font's name. Applies it to the label `labelOf` gives (asked only then) and
    // returns true; false for any other statement.
    bool setsLabelFormat(const QString& prefix, const QString& fontNameKey,
                         const std::function<std::shared_ptr<TextLabel>()>& labelOf) const;

    // Conversions of the values. Whole numbers and Booleans go through the strict number
    // conversion ("." as separator; TypeMismatch otherwise, Overflow out of range);
    // Booleans also read "True" and "False" in any case.
    static qint16 toInteger(const QString& text);
    static qint32 toLong(const QString& text);
    static bool toBoolean(const QString& text);
    // The longest leading decimal number ("." as separator); 0 when there is none.
    static double scanNumber(const QString& text);
    // Every "<<VBCR>>" turned into a carriage return.
    static QString withLineBreaks(const QString& text);
    // A file named by a value: kept as written when empty or when it holds ":", else taken
    // relative to the folder of the document file `documentFile`.
    static QString pathBeside(const QString& documentFile, const QString& value);

private:
    QString m_text;
    QString m_key;
    QString m_upperKey;
    QString m_quotedValue;
    QString m_value;
};

} // namespace kelvane
