#include "GeneralSection.h"

#include "LoginItem.h"
#include "Preferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSysInfo>
#include <QVBoxLayout>

#include <algorithm>

using namespace PreferenceKeys;
using namespace Qt::StringLiterals;

namespace {
// "Desk: last day 05/12/2026 (inactive)"; with the long date for screen readers.
QString computerLine(const SharedTotalsFolder::Computer& computer, QLocale::FormatType dateFormat)
{
    QString line = computer.days.isEmpty()
                       ? u"%1: no days recorded"_s.arg(computer.name)
                       : u"%1: last day %2"_s.arg(computer.name,
                                                  QLocale().toString(computer.days.lastKey(), dateFormat));
    return computer.inactive ? line + u" (inactive)"_s : line;
}
} // namespace

GeneralSection::GeneralSection(Preferences& preferences, LoginItem& loginItem, QWidget* parent)
    : SettingsSection(QStringLiteral("General"), preferences, parent)
    , m_loginItem(loginItem)
{
    m_launchAtLogin = addToggle(QStringLiteral("Launch at login"), QStringLiteral("launchAtLoginToggle"));
    connect(m_launchAtLogin, &QCheckBox::toggled, this, &GeneralSection::applyLaunchAtLogin);
    // Where nothing can start programs at login the switch would only mislead.
    m_launchAtLogin->setVisible(m_loginItem.isSupported());
    buildTimePlacement();
    buildSharing();
    m_chooseFolder = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Choose the Shared Folder"), start);
    };
    startFollowingPreferences();
}

// The combo box's indexes are the stored values: automatic, beside the icon, in the icon.
// Automatic asks the panel; the other two are for panels we cannot tell apart.
void GeneralSection::buildTimePlacement()
{
    QHBoxLayout* row = addRow();
    auto* title = new QLabel(QStringLiteral("Show the time:"), this);
    m_timePlacement = new QComboBox(this);
    m_timePlacement->setObjectName(QStringLiteral("timePlacementPicker"));
    m_timePlacement->addItems(
        {QStringLiteral("automatically"), QStringLiteral("beside the icon"), QStringLiteral("in the icon")});
    title->setBuddy(m_timePlacement);
    row->addWidget(title, 1);
    row->addWidget(m_timePlacement);
    connect(m_timePlacement, &QComboBox::currentIndexChanged, this,
            [this](int index) { preferences().setValue(timePlacement, qint64(index)); });
}

// The name is stored only when the user types one; an empty name means the host name.
void GeneralSection::buildSharing()
{
    m_share = addToggle(QStringLiteral("Share totals with my other computers through a folder"),
                        QStringLiteral("shareTotalsToggle"));
    connect(m_share, &QCheckBox::toggled, this, &GeneralSection::applySharing);
    QVBoxLayout* sharing = nullptr;
    m_sharingRows = addGroup(QStringLiteral("sharingRows"), &sharing);
    QHBoxLayout* folderRow = addRow(sharing);
    auto* folderTitle = new QLabel(QStringLiteral("Folder:"), this);
    m_folderButton = new QPushButton(this);
    m_folderButton->setObjectName(QStringLiteral("shareFolderButton"));
    folderTitle->setBuddy(m_folderButton);
    folderRow->addWidget(folderTitle);
    folderRow->addWidget(m_folderButton, 1);
    connect(m_folderButton, &QPushButton::clicked, this, &GeneralSection::chooseFolder);
    QHBoxLayout* nameRow = addRow(sharing);
    auto* nameTitle = new QLabel(QStringLiteral("This computer's name:"), this);
    m_computerName = new QLineEdit(this);
    m_computerName->setObjectName(QStringLiteral("computerNameField"));
    m_computerName->setPlaceholderText(QSysInfo::machineHostName());
    nameTitle->setBuddy(m_computerName);
    nameRow->addWidget(nameTitle);
    nameRow->addWidget(m_computerName, 1);
    connect(m_computerName, &QLineEdit::editingFinished, this,
            [this] { preferences().setValue(sharedTotalsName, m_computerName->text().trimmed()); });
    m_problemCaption = addCaption(QString(), QStringLiteral("sharingProblemCaption"), sharing);
    m_sharingLayout = sharing;
}

void GeneralSection::applySharing(bool enabled)
{
    if (!enabled)
        return preferences().setValue(sharedTotalsFolder, QString());
    chooseFolder();
    // Cancelled: without a folder nothing is shared, and the box says so.
    refresh();
}

void GeneralSection::chooseFolder()
{
    const QString folder = m_chooseFolder(preferences().value(sharedTotalsFolder));
    if (!folder.isEmpty())
        preferences().setValue(sharedTotalsFolder, folder);
}

void GeneralSection::setSharedTotals(const SharedTotalsFolder* folder)
{
    m_sharedTotals = folder;
    refreshSharing();
}

void GeneralSection::refreshSharing()
{
    const QString folder = preferences().value(sharedTotalsFolder);
    const QSignalBlocker block(m_share);
    m_share->setChecked(!folder.isEmpty());
    m_sharingRows->setVisible(!folder.isEmpty());
    m_folderButton->setText(folder.isEmpty() ? QStringLiteral("Choose…") : QDir::toNativeSeparators(folder));
    if (!m_computerName->hasFocus())
        m_computerName->setText(preferences().value(sharedTotalsName));
    const QString problem = m_sharedTotals && !folder.isEmpty() ? m_sharedTotals->problem() : QString();
    m_problemCaption->setText(problem);
    m_problemCaption->setVisible(!problem.isEmpty());
    showComputers();
}

// This computer first, then the others by name, each with the last day it recorded. Rebuilt
// at every refresh: the folder's computers come and go while the window is open.
void GeneralSection::showComputers()
{
    qDeleteAll(m_computerLines);
    m_computerLines.clear();
    if (!m_sharedTotals || !m_sharedTotals->isSharing())
        return;
    addComputerLine(u"This computer: %1"_s.arg(m_sharedTotals->name()), {});
    QList<SharedTotalsFolder::Computer> others = m_sharedTotals->computers();
    std::sort(others.begin(), others.end(), [](const auto& left, const auto& right) {
        return left.name.localeAwareCompare(right.name) < 0;
    });
    for (const SharedTotalsFolder::Computer& computer : std::as_const(others))
        addComputerLine(computerLine(computer, QLocale::ShortFormat),
                        computerLine(computer, QLocale::LongFormat));
    if (m_sharedTotals->tookNewId())
        addComputerLine(u"Another installation used the same identity, so this computer now writes its "
                        u"totals under a new one."_s,
                        {});
}

void GeneralSection::addComputerLine(const QString& text, const QString& spoken)
{
    QLabel* line = addCaption(text, u"sharedComputerLine"_s, m_sharingLayout);
    line->setAccessibleName(spoken.isEmpty() ? text : spoken);
    m_computerLines.append(line);
}

void GeneralSection::syncLaunchAtLogin()
{
    preferences().setValue(launchAtLogin, m_loginItem.isEnabled());
}

void GeneralSection::applyLaunchAtLogin(bool enabled)
{
    preferences().setValue(launchAtLogin, enabled);
    QString error;
    if (!m_loginItem.setEnabled(enabled, &error))
        syncLaunchAtLogin();
}

void GeneralSection::refresh()
{
    const QSignalBlocker block(m_launchAtLogin);
    m_launchAtLogin->setChecked(preferences().value(launchAtLogin));
    const QSignalBlocker blockPlacement(m_timePlacement);
    const qint64 placement = preferences().value(timePlacement);
    m_timePlacement->setCurrentIndex(placement >= 0 && placement <= 2 ? int(placement) : 0);
    refreshSharing();
}
