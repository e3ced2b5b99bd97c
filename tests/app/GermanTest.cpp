// The window in German: started under LANG=de_DE.UTF-8 (a CTest entry of its
// own), the main menus and the toolbar hold no English text. Skipped in
// other languages.
#include <QLocale>
#include <QMenuBar>
#include <QToolBar>

#include "app/Translations.h"
#include "tests/app/MainWindowFixture.h"

namespace {

// Every fixed text of the menu bar (titles, items and their status tips)
// and the toolbar's hints.
std::vector<std::string> MenuTexts(const TfrmMain& window) {
    std::vector<std::string> texts;
    for (const QAction* tool : window.tbServer->actions())
        if (!tool->isSeparator()) texts.push_back(tool->toolTip().toStdString());
    for (const QAction* title : window.menuBar()->actions()) {
        texts.push_back(title->text().toStdString());
        for (const QAction* item : title->menu()->actions()) {
            if (item->isSeparator() || item->data().toInt() >= TServerStore::FirstServerTag) continue;
            texts.push_back(item->text().toStdString());
            if (!item->statusTip().isEmpty()) texts.push_back(item->statusTip().toStdString());
        }
    }
    return texts;
}

TEST_F(MainWindow, GermanMenusAndToolbarHoldNoEnglish) {
    if (QLocale().language() != QLocale::German) GTEST_SKIP() << "runs under LANG=de_DE.UTF-8";
    auto english = Start();
    const std::vector<std::string> sources = MenuTexts(*english);
    english.reset();
    InstallTranslations(*QCoreApplication::instance());
    auto window = Start();
    const std::vector<std::string> shown = MenuTexts(*window);
    ASSERT_EQ(shown.size(), sources.size());
    for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_NE(shown[i], sources[i]) << "untranslated: " << sources[i];
    EXPECT_EQ(shown.front(), "Verbinden.");
}

}  // namespace
