#include "dialogs/FrmFileProperties.h"

#include <unistd.h>

#include <QDateTime>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <charconv>
#include <cstdlib>

#include "util/MiscUtils.h"
#include "util/ui/TypeIcons.h"
#include "util/ui/UiUtils.h"

namespace {

QFrame* Separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel* ValueLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);  // names come from servers and disks
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

// The name of the user this program runs as; "n/a" when it has none.
std::string SessionUserName() {
    if (const char* login = ::getlogin(); login != nullptr && *login != '\0') return std::string(login).substr(0, 256);
    if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') return std::string(user).substr(0, 256);
    return Translated("TfrmFileProperties", "n/a");
}

// Archive and system are never set on this system; read-only means the
// user may not write the file, hidden a name starting with a point.
std::string AttributesText(const QFileInfo& info) {
    std::string text;
    const auto add = [&text](const std::string& word) {
        if (!text.empty()) text += "/ ";
        text += word;
    };
    if (!info.isWritable()) add(Translated("TfrmFileProperties", "Read-Only "));
    if (info.fileName().startsWith(QLatin1Char('.'))) add(Translated("TfrmFileProperties", "Hidden "));
    return text;
}

}  // namespace

TfrmFileProperties::TfrmFileProperties(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Properties"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* pages = new QTabWidget(this);
    auto* general = new QWidget(pages);
    pages->addTab(general, tr("General"));

    imgIcon = new QLabel(general);
    imgIcon->setFixedSize(32, 32);
    lblFilename = ValueLabel(general);
    auto* heading = new QHBoxLayout;
    heading->addWidget(imgIcon);
    heading->addWidget(lblFilename, 1);

    lblType = ValueLabel(general);
    lblLocation = ValueLabel(general);
    lblSize = ValueLabel(general);
    lblModified = ValueLabel(general);
    lblPermDesc = new QLabel(tr("Permissions:"), general);
    lblPermissions = ValueLabel(general);
    lblUser = ValueLabel(general);
    lblGroup = ValueLabel(general);
    auto* first = new QFormLayout;
    first->addRow(tr("Type:"), lblType);
    first->addRow(tr("Location:"), lblLocation);
    first->addRow(tr("Size:"), lblSize);
    auto* second = new QFormLayout;
    second->addRow(tr("Modified:"), lblModified);
    second->addRow(lblPermDesc, lblPermissions);
    second->addRow(tr("User:"), lblUser);
    second->addRow(tr("Group:"), lblGroup);

    auto* page = new QVBoxLayout(general);
    page->addLayout(heading);
    page->addWidget(Separator(general));
    page->addLayout(first);
    page->addWidget(Separator(general));
    page->addLayout(second);
    page->addStretch(1);

    btnOk = new QPushButton(tr("&Close"), this);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages, 1);
    layout->addWidget(btnOk, 0, Qt::AlignRight);
    resize(QSize(309, 276).expandedTo(sizeHint()));
    FormCreate();
}

void TfrmFileProperties::FormCreate() {
    for (QLabel* value : {lblFilename, lblType, lblLocation, lblSize, lblModified, lblPermissions, lblUser, lblGroup})
        value->clear();
}

std::string PropertiesSizeText(std::int64_t size) {
    try {
        if (size <= 1024) return ByteCountText(size);
        return SizeText(size) + " (" + ByteCountText(size) + ")";
    } catch (...) {
        return Substitute(Translated("TfrmFileProperties", "%1 bytes"), {std::to_string(size)});
    }
}

std::string PropertiesSizeText(const std::string& column) {
    std::int64_t size = 0;
    const auto [end, error] = std::from_chars(column.data(), column.data() + column.size(), size);
    if (column.empty() || error != std::errc() || end != column.data() + column.size())
        return Substitute(Translated("TfrmFileProperties", "%1 bytes"), {column});
    return PropertiesSizeText(size);
}

TfrmFileProperties* ShowLocalFileProperties(const std::string& folder, const std::string& fileName, QWidget* parent) {
    try {
        const std::string path = WithTrailingBackslash(folder) + fileName;
        const QFileInfo info(ToQt(path));
        if (!info.exists() && !info.isSymLink()) return nullptr;
        auto* window = new TfrmFileProperties(parent);
        window->lblFilename->setText(ToQt(fileName));
        if (info.isDir()) {
            window->lblType->setText(TfrmFileProperties::tr("Folder"));
        } else {
            const std::string extension = ExtensionOf(fileName);
            QString type = ToQt(DefaultTypeText(extension));
            QIcon icon;
            if (!extension.empty()) LookUpTypeIcon(TypeLookupExtension(extension), icon, type);
            window->lblType->setText(type);
            if (!icon.isNull()) window->imgIcon->setPixmap(icon.pixmap(32, 32));
        }
        window->lblLocation->setText(ToQt(WithTrailingBackslash(FromQt(info.absolutePath()))));
        window->lblSize->setText(ToQt(PropertiesSizeText(FileSizeOf(path))));
        window->lblModified->setText(QLocale().toString(info.lastModified(), QLocale::ShortFormat));
        window->lblPermDesc->setText(TfrmFileProperties::tr("Attributes:"));
        window->lblPermissions->setText(ToQt(AttributesText(info)));
        window->lblUser->setText(ToQt(SessionUserName()));
        window->lblGroup->setText(TfrmFileProperties::tr("n/a"));
        window->show();
        return window;
    } catch (...) {
        return nullptr;
    }
}
