#include "AboutPage.h"

#include "PanelStyle.h"
#include "ProductLinks.h"
#include "SettingsSymbol.h"
#include "UpdateControls.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
constexpr int symbolSize = 48;
constexpr int dividerWidth = 200;

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

QLabel* linkLabel(const QString& title, const char* address, const QString& objectName, QWidget* parent)
{
    const QString html = QStringLiteral("<a href=\"%1\" style=\"color:%2; text-decoration:none\">%3</a>")
                             .arg(QString::fromLatin1(address), PanelStyle::paused().name(), title);
    QLabel* label = centredLabel(html, objectName, 13, parent);
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    label->setToolTip(QString::fromLatin1(address));
    return label;
}
} // namespace

AboutPage::AboutPage(const QString& version, UpdateControls& updates, QWidget* parent)
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
    buildLinks(stack);
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

void AboutPage::buildLinks(QBoxLayout* stack)
{
    stack->addWidget(linkLabel(QStringLiteral("Lumatick Website"), ProductLinks::productWebsite,
                               QStringLiteral("productLink"), this));
    stack->addWidget(linkLabel(QStringLiteral("Explore More Brightlet"), ProductLinks::makerWebsite,
                               QStringLiteral("makerLink"), this));
    stack->addWidget(centredLabel(QString::fromLatin1(ProductLinks::contactAddress),
                                  QStringLiteral("contactAddress"), 13, this));
    QLabel* note = centredLabel(QString::fromLatin1(ProductLinks::placeholderNote),
                                QStringLiteral("placeholderNote"), 11, this);
    note->setWordWrap(true);
    stack->addWidget(note);
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
