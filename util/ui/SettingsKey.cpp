#include "util/ui/SettingsKey.h"

#include "util/ui/UiUtils.h"

namespace {

constexpr char kOrganisation[] = "Orvan Software";
constexpr char kApplication[] = "Velliant FTP";

QString GroupOf(const std::string& keyPath) {
    QString path = ToQt(keyPath);
    const QString root = QString::fromLatin1(ApplicationSettingsRoot);
    if (path.startsWith(root, Qt::CaseInsensitive)) path = path.mid(root.size());
    const QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('/'));
}

}  // namespace

TSettingsKey::TSettingsKey(const std::string& keyPath)
    : settings_(std::make_unique<QSettings>(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication))),
      group_(GroupOf(keyPath)) {}

TSettingsKey::~TSettingsKey() = default;

QString TSettingsKey::PathOf(const std::string& name) const {
    return group_.isEmpty() ? ToQt(name) : group_ + QLatin1Char('/') + ToQt(name);
}

bool TSettingsKey::Exists() const {
    if (group_.isEmpty()) return true;
    settings_->beginGroup(group_);
    const bool any = !settings_->childKeys().isEmpty() || !settings_->childGroups().isEmpty();
    settings_->endGroup();
    return any;
}

bool TSettingsKey::ValueExists(const std::string& name) const { return settings_->contains(PathOf(name)); }

bool TSettingsKey::OpenForWriting() const { return settings_->isWritable(); }

std::int32_t TSettingsKey::ReadInteger(const std::string& name, std::int32_t def) const {
    const QVariant value = settings_->value(PathOf(name));
    if (!value.isValid()) return def;
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < INT32_MIN || number > INT32_MAX) return def;
    return static_cast<std::int32_t>(number);
}

std::string TSettingsKey::ReadString(const std::string& name, const std::string& def) const {
    const QVariant value = settings_->value(PathOf(name));
    return value.isValid() ? FromQt(value.toString()) : def;
}

bool TSettingsKey::ReadBool(const std::string& name, bool def) const { return ReadInteger(name, def ? 1 : 0) != 0; }

void TSettingsKey::Store(const std::string& name, const QVariant& value) {
    if (settings_->isWritable()) {
        settings_->setValue(PathOf(name), value);
        settings_->sync();
        if (settings_->status() == QSettings::NoError) return;
    }
    throw ESettingsError(Substitute(Translated("TSettingsKey", "Failed to set data for '%1'"), {name}));
}

void TSettingsKey::WriteInteger(const std::string& name, std::int32_t value) { Store(name, QVariant(value)); }

void TSettingsKey::WriteString(const std::string& name, const std::string& value) { Store(name, QVariant(ToQt(value))); }

void TSettingsKey::WriteBool(const std::string& name, bool value) { Store(name, QVariant(value ? 1 : 0)); }

void TSettingsKey::DeleteValue(const std::string& name) {
    settings_->remove(PathOf(name));
    settings_->sync();
}
