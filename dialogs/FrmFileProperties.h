#pragma once
// A small modeless window describing one file or remote entry: icon, name,
// type, location, size, modification time, permissions (or attributes),
// user and group. It frees itself when closed; several may be open at once.

#include <QCoreApplication>
#include <QDialog>
#include <cstdint>
#include <string>

class QLabel;
class QPushButton;

class TfrmFileProperties : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmFileProperties)

public:
    explicit TfrmFileProperties(QWidget* parent = nullptr);

    QLabel* imgIcon;
    QLabel* lblFilename;
    QLabel* lblType;
    QLabel* lblLocation;
    QLabel* lblSize;
    QLabel* lblModified;
    QLabel* lblPermDesc;  // "Permissions:", or "Attributes:" for local files
    QLabel* lblPermissions;
    QLabel* lblUser;
    QLabel* lblGroup;
    QPushButton* btnOk;  // "&Close"

    void FormCreate();
};

// "1 byte", "1,024 bytes" up to 1024 bytes; above, "1.5 KB (1,536 bytes)".
std::string PropertiesSizeText(std::int64_t size);

// The size text of a Size column: the rule above for a whole number,
// otherwise the column's text followed by " bytes".
std::string PropertiesSizeText(const std::string& column);

// Fills and shows a window for one local file. Returns the window, or null
// when the file could not be described.
TfrmFileProperties* ShowLocalFileProperties(const std::string& folder, const std::string& fileName, QWidget* parent);
