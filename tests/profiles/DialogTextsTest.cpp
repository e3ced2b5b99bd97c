// Every text of the profile dialogs, the connecting window and the options
// can be read in full with the default font at the dialogs' fixed sizes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QtTest/QTest>
#include <functional>
#include <memory>

#include "dialogs/FrmOptions.h"
#include "profiles/FrmServerAdd.h"
#include "profiles/FrmServerConnect.h"
#include "profiles/FrmServerConnectTo.h"
#include "profiles/FrmServerEdit.h"
#include "profiles/FrmServerRemove.h"
#include "profiles/ServerList.h"
#include "profiles/ServerListBox.h"
#include "tests/support/QtTestSupport.h"

namespace {

using Texts = std::vector<std::string>;

Texts ShownCutOff(QWidget* dialog) {
    dialog->show();
    EXPECT_TRUE(qttest::WaitUntil([dialog] { return dialog->isVisible(); }));
    return qttest::CutOffTexts(dialog);
}

TEST(DialogTextsTest, NoLabelOrCaptionIsWiderOrTallerThanItsControl) {
    qttest::ClearSettings();
    TServerList servers;
    auto profile = std::make_unique<TFTPServer>();
    std::tie(profile->Name, profile->Hostname, profile->Username) = std::tuple("Office", "ftp.example.com", "webmaster");
    const TFTPServer office = *profile;
    servers.Add("Office", std::move(profile));

    // The list dialogs with their one profile selected, so that the
    // information fields show too.
    const std::pair<const char*, std::function<std::unique_ptr<TServerListDialog>()>> lists[] = {
        {"edit", [&] { return std::make_unique<TfrmServerEdit>(servers); }},
        {"remove", [&] { return std::make_unique<TfrmServerRemove>(servers); }},
        {"connect to", [&] { return std::make_unique<TfrmServerConnectTo>(servers); }},
    };
    for (const auto& [name, create] : lists) {
        auto dialog = create();
        dialog->lbServers->setCurrentRow(0);
        ASSERT_TRUE(dialog->pnlInfo->FieldsShown()) << name;
        EXPECT_EQ(ShownCutOff(dialog.get()), Texts{}) << name;
    }

    TfrmServerAdd form;
    EXPECT_EQ(ShownCutOff(&form), Texts{}) << "profile form";

    // Freed without its close handling, as the main window does.
    auto* connecting = new TfrmServerConnect;
    connecting->SetServer(office);
    connecting->AddStateText("Trying to connect to ftp.example.com ...");
    EXPECT_EQ(ShownCutOff(connecting), Texts{}) << "connecting window";
    delete connecting;

    TfrmOptions options;
    for (int page = 0; page < options.pgcOptions->count(); ++page) {
        options.pgcOptions->setCurrentIndex(page);
        EXPECT_EQ(ShownCutOff(&options), Texts{}) << options.pgcOptions->tabText(page).toStdString();
    }
}

TEST(DialogTextsTest, AWrappedCaptionClicksItsCheckBoxAndNamesIt) {
    qttest::ClearSettings();
    TfrmOptions options;
    options.show();
    QLabel* caption = nullptr;
    for (QLabel* label : options.findChildren<QLabel*>())
        if (label->buddy() == options.cbShowWebHosting) caption = label;
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(options.cbShowWebHosting->accessibleName(), caption->text());
    ASSERT_TRUE(options.cbShowWebHosting->isChecked());
    QTest::mouseClick(caption, Qt::LeftButton);
    EXPECT_FALSE(options.cbShowWebHosting->isChecked());
    QTest::mouseClick(caption, Qt::LeftButton);
    EXPECT_TRUE(options.cbShowWebHosting->isChecked());
}

}  // namespace
