#pragma once

#include "platform/gui/SpellingPass.h"

#include <QStringList>
#include <memory>

class Hunspell;

namespace platform::gui {

// The spelling dictionary "en_US" through Hunspell.
class HunspellSpeller : public Speller {
public:
    ~HunspellSpeller() override;

    // The folders searched for dictionaries: those of the DICPATH variable, then the
    // system's own.
    static QStringList standardFolders();

    // The dictionary from the first folder that holds both of its files; null when none does.
    static std::unique_ptr<HunspellSpeller> open(const QStringList& folders);

    bool isCorrect(const QString& word) override;
    QStringList suggestions(const QString& word) override;

private:
    explicit HunspellSpeller(std::unique_ptr<Hunspell> engine);

    // The word in the dictionary's encoding; false when the encoding cannot hold it.
    bool encode(const QString& word, std::string& encoded) const;
    QString decode(const std::string& encoded) const;

    std::unique_ptr<Hunspell> m_engine;
    bool m_utf8 = true; // else the dictionary is in ISO 8859-1
};

} // namespace platform::gui
