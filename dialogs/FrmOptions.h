#pragma once
// The options dialog. One instance lives for the whole run; its controls are
// the in-memory form of the options, read directly by the rest of the
// program. OK stores them in the settings tree, Cancel re-reads the stored
// values, and the close box does neither.

#include <QCoreApplication>
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class TSpinEdit;

class TfrmOptions : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmOptions)

public:
    static constexpr char OptionsKey[] = "Software\\Orvan Software\\Velliant FTP\\Options\\";
    static constexpr char DefaultAsciiExt[] =
        ".txt,.log,.diz,.doc,.html,.htm,.shtml,.asp,.css,.phtml,.js,.javascript,.c,.h,.c++,.h++,.cpp,.hpp,.sql";
    static constexpr int MinTimeOut = 1;
    static constexpr int MaxTimeOut = 32768;
    // An idle session sends NOOP this often (seconds); 0 sends none.
    static constexpr int DefaultKeepAlive = 60;
    static constexpr int MaxKeepAlive = 3600;

    explicit TfrmOptions(QWidget* parent = nullptr);

    // Shows the hosting button exactly when the first argument is true (and
    // hides the other promotional button); called by ApplyOptions.
    std::function<void(TfrmOptions* sender, bool showHosting)> OnApplyOptions;

    void LoadOptions();
    // Raises ESettingsError when a value cannot be stored; stores nothing,
    // silently, when the settings cannot be written at all.
    void SaveOptions();
    void ApplyOptions();

    // The entries of the text-transfer list in their (sorted) order.
    std::vector<std::string> TextExtensions() const;
    // Adds the extension of `answer` as the Add button does; false, with the
    // refusal shown, for a picture or archive extension, and false without a
    // message when the answer has no extension.
    bool AddTextExtension(const std::string& answer);

    QTabWidget* pgcOptions;
    QCheckBox* cbShowWebHosting;
    QCheckBox* cbPlaySoundDownload;
    QLineEdit* ebxSoundDownload;
    QPushButton* btnOpenDownWave;
    QCheckBox* cbPlaySoundUpload;
    QLineEdit* ebxSoundUpload;
    QPushButton* btnOpenUpWave;
    // The command line that opens a server file for editing (the file's
    // path is added as its last argument); empty: the desktop's
    // application for the file's type.
    QLabel* lblEditor;
    QLineEdit* ebxEditor;
    QLabel* lblFTPTextExt;
    QListWidget* lbFTPTextExt;
    QPushButton* btnAddFTPText;
    QPushButton* btnRmvFTPText;
    QLabel* lblFTPTextHelp;
    QLabel* lblTimeOut;
    TSpinEdit* sedtTimeOut;
    QCheckBox* cbDirAutoRefresh;
    // A download gets the server's modification time, an upload sends the
    // local file's time to the server.
    QCheckBox* cbKeepFileTimes;
    QLabel* lblKeepAlive;
    TSpinEdit* sedtKeepAlive;
    // Kept in the profile file, not the settings tree: the main window sets
    // it before showing the dialog and moves the passwords after OK.
    QCheckBox* cbPasswordsInKeyring;
    // What a transfer does when its target file exists, unless the question
    // says otherwise: the entries follow TFileExistsAnswer (0 asks).
    QLabel* lblFileExists;
    QComboBox* cbxFileExists;
    // Folder uploads and deletions run on this many connections of their
    // own, beside the browsing one.
    QLabel* lblTransfers;
    TSpinEdit* sedtTransfers;
    static constexpr int MaxTransfers = 10;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    void btnOkClick();
    void btnCancelClick();
    void btnAddFTPTextClick();
    void btnRmvFTPTextClick();
    void btnOpenDownWaveClick();
    void btnOpenUpWaveClick();

private:
    QWidget* BuildGeneralPage();
    QWidget* BuildTransferPage();
    QWidget* BuildFtpPage();
    void ConnectHandlers();
    void FillTextExtensions(const std::string& commaText);
    void InsertSorted(const QString& entry);
    void UpdateRemoveButton();
    void ChooseWaveFile(QLineEdit* target, const QString& title);
};
