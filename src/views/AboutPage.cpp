#include "AboutPage.h"

#include "PanelStyle.h"
#include "SettingsSymbol.h"
#include "StoreOpener.h"
#include "UpdateControls.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int symbolSize = 48;
constexpr int dividerWidth = 200;
constexpr int locationWidth = 360;

QFont sized(QFont font, int pixels, QFont::Weight weight = QFont::Normal)
{
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

QLabel* centredLabel(const QString& text, const QString& objectName, int pixels, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignHCenter);
    label->setFont(sized(parent->font(), pixels));
    PanelStyle::setTextColor(label, PanelStyle::secondary(parent->palette()));
    return label;
}

// `title` and the file's path, shortened to fit (home as "~", then elided in the middle), as a
// link to the folder holding it: a file manager shows the folder, where an editor would open
// the file itself.
QLabel* locationLabel(const QString& title, const QString& file, const QString& objectName, QWidget* parent)
{
    QString shown = QDir::toNativeSeparators(file);
    const QString home = QDir::homePath();
    if (shown.startsWith(home + u'/'))
        shown = u'~' + shown.mid(home.size());
    QLabel* label = centredLabel({}, objectName, 12, parent);
    shown = QFontMetrics(label->font()).elidedText(shown, Qt::ElideMiddle, locationWidth);
    const QString folder = QUrl::fromLocalFile(QFileInfo(file).absolutePath()).toString();
    label->setText(QStringLiteral("%1<br><a href=\"%2\" style=\"color:%3; text-decoration:none\">%4</a>")
                       .arg(title, folder, PanelStyle::paused().name(), shown.toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    // Tab reaches the link and Enter opens it, as a click does.
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    label->setToolTip(file);
    return label;
}
} // namespace

AboutPage::AboutPage(const QString& version, UpdateControls& updates, const QString& preferencesFile,
                     QWidget* parent)
    : QWidget(parent)
    , m_updates(updates)
{
    setObjectName(QStringLiteral("aboutPage"));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(24, 12, 24, 12);
    stack->setSpacing(8);
    stack->addStretch(1);
    buildHeading(stack, version);
    addDivider(stack);
    buildUpdateControls(stack);
    addDivider(stack);
    buildDetails(stack, preferencesFile);
    stack->addStretch(1);
}

void AboutPage::buildHeading(QBoxLayout* stack, const QString& version)
{
    auto* symbol = new QLabel(this);
    symbol->setObjectName(QStringLiteral("aboutSymbol"));
    symbol->setPixmap(
        SettingsSymbol::pixmap(SettingsSymbol::Symbol::clock, PanelStyle::paused(), symbolSize));
    stack->addWidget(symbol, 0, Qt::AlignHCenter);
    auto* name = new QLabel(QStringLiteral("lumatick"), this);
    name->setObjectName(QStringLiteral("aboutName"));
    name->setFont(sized(font(), 20, QFont::Bold));
    stack->addWidget(name, 0, Qt::AlignHCenter);
    const QString shown = version.isEmpty() ? QStringLiteral("1.0") : version;
    stack->addWidget(
        centredLabel(QStringLiteral("Version ") + shown, QStringLiteral("aboutVersion"), 13, this));
    QLabel* summary = centredLabel(
        QStringLiteral("Tracks your active screen time automatically and shows it in the menu bar."),
        QStringLiteral("aboutSummary"), 13, this);
    summary->setWordWrap(true);
    stack->addWidget(summary);
}

void AboutPage::buildUpdateControls(QBoxLayout* stack)
{
    m_check = new QPushButton(QStringLiteral("Check for Updates\u2026"), this);
    m_check->setObjectName(QStringLiteral("checkForUpdatesButton"));
    m_check->setEnabled(m_updates.canCheckForUpdates());
    connect(m_check, &QPushButton::clicked, &m_updates, &UpdateControls::checkForUpdates);
    connect(&m_updates, &UpdateControls::canCheckForUpdatesChanged, m_check, &QPushButton::setEnabled);

    m_automatic = new QCheckBox(QStringLiteral("Automatically download updates"), this);
    m_automatic->setObjectName(QStringLiteral("automaticUpdatesToggle"));
    m_automatic->setFont(sized(font(), 13));
    PanelStyle::setTextColor(m_automatic, PanelStyle::secondary(palette()));
    m_automatic->setChecked(m_updates.automaticallyDownloadsUpdates());
    connect(m_automatic, &QCheckBox::toggled, &m_updates, &UpdateControls::setAutomaticallyDownloadsUpdates);
    connect(&m_updates, &UpdateControls::automaticallyDownloadsUpdatesChanged, m_automatic,
            [this](bool enabled) {
                const QSignalBlocker block(m_automatic);
                m_automatic->setChecked(enabled);
            });
    stack->addWidget(m_check, 0, Qt::AlignHCenter);
    stack->addWidget(m_automatic, 0, Qt::AlignHCenter);
}

void AboutPage::buildDetails(QBoxLayout* stack, const QString& preferencesFile)
{
    stack->addWidget(centredLabel(QStringLiteral("Free software under the MIT licence."),
                                  QStringLiteral("aboutLicence"), 13, this));
    stack->addSpacing(4);
    const QString storeFile =
        QDir(StoreOpener::defaultDirectory()).filePath(QString::fromLatin1(StoreOpener::storeFileNames[0]));
    stack->addWidget(locationLabel(QStringLiteral("Your days are kept on this computer, in"), storeFile,
                                   QStringLiteral("storeLocation"), this));
    stack->addWidget(locationLabel(QStringLiteral("Your settings, in"), preferencesFile,
                                   QStringLiteral("preferencesLocation"), this));
}

void AboutPage::addDivider(QBoxLayout* stack)
{
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedSize(dividerWidth, 1);
    line->setForegroundRole(QPalette::Mid);
    stack->addSpacing(4);
    stack->addWidget(line, 0, Qt::AlignHCenter);
    stack->addSpacing(4);
}
