#include "platform/gui/HunspellSpeller.h"

#include <QDir>
#include <QFileInfo>
#include <hunspell.hxx>

namespace platform::gui {

namespace {
const QString kDictionary = QStringLiteral("en_US");
} // namespace

HunspellSpeller::HunspellSpeller(std::unique_ptr<Hunspell> engine)
    : m_engine(std::move(engine))
{
    m_utf8 = QString::fromStdString(m_engine->get_dict_encoding()).compare(QStringLiteral("UTF-8"), Qt::CaseInsensitive) == 0;
}

HunspellSpeller::~HunspellSpeller() = default;

QStringList HunspellSpeller::standardFolders()
{
    QStringList folders = qEnvironmentVariable("DICPATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    folders << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/local/share/hunspell")
            << QStringLiteral("/usr/share/myspell");
    return folders;
}

std::unique_ptr<HunspellSpeller> HunspellSpeller::open(const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QString affix = QDir(folder).filePath(kDictionary + QStringLiteral(".aff"));
        const QString words = QDir(folder).filePath(kDictionary + QStringLiteral(".dic"));
        if (!QFileInfo(affix).isReadable() || !QFileInfo(words).isReadable())
            continue;
        auto engine = std::make_unique<Hunspell>(QFile::encodeName(affix).constData(), QFile::encodeName(words).constData());
        return std::unique_ptr<HunspellSpeller>(new HunspellSpeller(std::move(engine)));
    }
    return nullptr;
}

bool HunspellSpeller::encode(const QString& word, std::string& encoded) const
{
    if (m_utf8) {
        encoded = word.toStdString();
        return true;
    }
    for (const QChar c : word) {
        if (c.unicode() > 0xFF)
            return false;
    }
    encoded = word.toLatin1().toStdString();
    return true;
}

QString HunspellSpeller::decode(const std::string& encoded) const
{
    return m_utf8 ? QString::fromStdString(encoded) : QString::fromLatin1(encoded.data(), qsizetype(encoded.size()));
}

// A word the dictionary's encoding cannot hold cannot be judged: it passes.
bool HunspellSpeller::isCorrect(const QString& word)
{
    std::string encoded;
    return !encode(word, encoded) || m_engine->spell(encoded);
}

QStringList HunspellSpeller::suggestions(const QString& word)
{
    std::string encoded;
    QStringList found;
    if (!encode(word, encoded))
        return found;
    for (const std::string& suggestion : m_engine->suggest(encoded))
        found << decode(suggestion);
    return found;
}

} // namespace platform::gui
