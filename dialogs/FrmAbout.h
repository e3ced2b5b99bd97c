#pragma once
// The about box: program, maker and developer, with their web addresses.

#include <QCoreApplication>
#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

class TfrmAbout : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmAbout)

public:
    static constexpr char MakerAddress[] = "https://orvan-software.example.com/";
    static constexpr char ContactAddress[] = "support@orvan-software.example.com";
    static constexpr char DeveloperAddress[] = "https://velliant-team.example.org/";

    explicit TfrmAbout(QWidget* parent = nullptr);

    // Asks the desktop to open a page; failures are ignored. Replaceable so
    // that the links can be exercised without a browser.
    std::function<void(const QUrl&)> OpenUrl;

    QLabel* imgLogo;
    QLabel* lblProgram;
    QLabel* lblVersion;
    QLabel* lblMaker;
    QLabel* lblMakerWeb;
    QLabel* lblContact;
    QLabel* lblDeveloper;
    QLabel* lblDeveloperWeb;
    QLabel* lblLegal;
    QPushButton* btnCool;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
