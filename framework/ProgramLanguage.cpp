#include "ProgramLanguage.h"

#include "ProgramTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

namespace {

// Qt's translation of its own widgets; the English one is Qt's source text itself.
constexpr const char* kQtTranslation = "qtbase_pl";

} // namespace

CProgramLanguage::CProgramLanguage(Language language, const QStringList& qtFolders)
    : m_language(language) {
    if (language == Language::Polish) {
        for (const QString& folder : qtFolders) {
            if (m_qt.load(QString::fromLatin1(kQtTranslation), folder)) {
                m_qtInstalled = QCoreApplication::installTranslator(&m_qt);
                break;
            }
        }
        if (!m_qtInstalled) {
            m_problem = QStringLiteral("%1.qm not found in %2; Qt's own texts stay in English")
                            .arg(QString::fromLatin1(kQtTranslation),
                                 qtFolders.isEmpty() ? QStringLiteral("no folder")
                                                     : qtFolders.join(QStringLiteral(", ")));
        }
        return;
    }
    if (m_program.Load(ProgramTranslationFile(), ProgramTexts())) {
        m_programInstalled = QCoreApplication::installTranslator(&m_program);
    }
    if (!m_programInstalled) {
        m_problem = QStringLiteral("the English translation %1 cannot be loaded; the program's "
                                   "texts stay in Polish")
                        .arg(ProgramTranslationFile());
    }
}

bool CProgramLanguage::AddTranslation(const QString& file, std::span<const ProgramText> texts) {
    auto translator = std::make_unique<CProgramTranslator>();
    if (!translator->Load(file, texts) || !QCoreApplication::installTranslator(translator.get())) {
        m_problem =
            QStringLiteral("the translation %1 cannot be loaded; its texts stay as they are")
                .arg(file);
        return false;
    }
    m_added.push_back(std::move(translator));
    return true;
}

CProgramLanguage::~CProgramLanguage() {
    // Removing a translator that is not installed does nothing.
    for (const auto& added : m_added) {
        (void)QCoreApplication::removeTranslator(added.get());
    }
    (void)QCoreApplication::removeTranslator(&m_program);
    (void)QCoreApplication::removeTranslator(&m_qt);
}

QStringList QtTranslationFolders(const QString& programDirectory) {
    QStringList folders;
    if (!programDirectory.isEmpty()) {
        folders.push_back(QDir(programDirectory).filePath(QStringLiteral("translations")));
    }
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!qtFolder.isEmpty() && !folders.contains(qtFolder)) {
        folders.push_back(qtFolder);
    }
    return folders;
}

QString ProgramTranslationFile() {
    return QStringLiteral(":/i18n/qal_en.qm");
}
