#include "consult/NodeControlInputs.h"

#include "consult/ConsultationDialog.h"
#include "model/clsControl.h"
#include "platform/Variant.h"
#include "platform/gui/PlainText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace kelvane {

namespace {

constexpr double kRowHeight = 300;

const QString kBoolean = QStringLiteral("boolean");
const QString kString = QStringLiteral("string");

double rowTop(int row) { return row * kRowHeight - 150; }

// "true" or "false" in any case, or a number (non-zero is true). Any other text reads as
// false, so a damaged value cannot keep the question from being asked.
bool readsTrue(const QString& value)
{
    try {
        return Variant(value).toBool();
    } catch (const RuntimeError&) {
        return false;
    }
}

template <class Input>
Input* loadElement(std::vector<Input*>& array, QWidget& frame, double left, double top, double width, double height)
{
    auto* element = new Input(&frame);
    ConsultationDialog::place(*element, left, top, width, height);
    element->setVisible(!array.empty()); // element 0 is the hidden template
    array.push_back(element);
    return element;
}

} // namespace

NodeControlInputs::NodeControlInputs(QWidget& frame) : m_frame(frame)
{
    loadElement(m_chkControl, frame, 870, 720, 4950, 195)->setObjectName(QStringLiteral("chkControl"));
    loadElement(m_lblControl, frame, 870, 405, 1515, 255)->setObjectName(QStringLiteral("lblControl"));
    loadElement(m_txtControl, frame, 855, 105, 2055, 285)->setObjectName(QStringLiteral("txtControl"));
}

QLabel* NodeControlInputs::lblControl(int index) const { return m_lblControl.at(index); }

int NodeControlInputs::Load(Collection<std::shared_ptr<clsControl>>& definitions, double left)
{
    int row = 0;
    for (const auto& definition : definitions) {
        if (definition->ControlType == kBoolean) {
            if (definition->Value.isEmpty())
                definition->Value = QStringLiteral("false");
            ++row;
            QCheckBox* check = loadElement(m_chkControl, m_frame, left, rowTop(row), 4950, 195);
            check->setText(definition->Name);
            check->setChecked(readsTrue(definition->Value));
        } else if (definition->ControlType == kString) {
            ++row;
            loadElement(m_lblControl, m_frame, left, rowTop(row), 1515, 255)->setText(definition->Name);
            ++row;
            loadElement(m_txtControl, m_frame, left, rowTop(row), 2055, 285)->setText(definition->Value);
        }
    }
    return row;
}

void NodeControlInputs::Store(Collection<std::shared_ptr<clsControl>>& definitions) const
{
    std::size_t checkIndex = 0;
    std::size_t textIndex = 0;
    for (const auto& definition : definitions) {
        if (definition->ControlType == kBoolean)
            definition->Value = m_chkControl.at(++checkIndex)->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
        else if (definition->ControlType == kString)
            definition->Value = m_txtControl.at(++textIndex)->text();
    }
}

} // namespace kelvane
