#pragma once

#include <QStringView>

namespace basXML {

// Where `pattern` first stands in the text at or after `from` (-1 when nowhere), as
// QStringView::indexOf finds it. Past its first stretch, a long text is searched in parts side
// by side: a document's elements that span most of it are bounded in a fraction of the time.
qsizetype FindInText(QStringView text, QStringView pattern, qsizetype from = 0);

} // namespace basXML
