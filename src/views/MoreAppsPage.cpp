#include "MoreAppsPage.h"

#include "PanelStyle.h"
#include "SettingsSymbol.h"
#include "SymbolIcon.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int symbolSize = 24;

struct Row {
    QPixmap symbol;
    const char* name;
    const char* description;
    const char* command;
};
} // namespace

MoreAppsPage::MoreAppsPage(QWidget* parent)
    : QScrollArea(parent)
{
    setObjectName(QStringLiteral("moreAppsPage"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(this);
    auto* list = new QVBoxLayout(content);
    list->setContentsMargins(16, 16, 16, 16);
    list->setSpacing(14);
    const QColor accent = PanelStyle::paused();
    const Row rows[] = {
        {SymbolIcon::pixmap(SymbolIcon::Symbol::chartBar, accent, symbolSize), "In a status bar",
         "A live line for waybar, polybar or i3blocks.", "lumatick status --follow"},
        {SymbolIcon::pixmap(SymbolIcon::Symbol::pause, accent, symbolSize), "From a key of your desktop",
         "Bind it in your desktop's keyboard settings to pause and resume anywhere.",
         "lumatick ctl toggle-pause"},
        {SymbolIcon::pixmap(SymbolIcon::Symbol::squareAndArrowUp, accent, symbolSize), "Backups",
         "Every day as CSV; \"lumatick import\" reads such a file back.", "lumatick export -o days.csv"},
        {SettingsSymbol::pixmap(SettingsSymbol::Symbol::clock, accent, symbolSize), "Without a panel",
         "Counts in a session without a panel, or without any desktop.", "lumatick --headless"},
        {SettingsSymbol::pixmap(SettingsSymbol::Symbol::info, accent, symbolSize), "Report a problem",
         "Tell whoever gave you Lumatick (your distribution or administrator) what you did and what "
         "you saw, with the version from the About tab and the log this prints:",
         "journalctl --user --grep com.brightlet.Lumatick"},
    };
    for (const Row& row : rows)
        list->addWidget(makeRow(row.symbol, QString::fromUtf8(row.name), QString::fromUtf8(row.description),
                                QString::fromUtf8(row.command), content));
    list->addStretch(1);
    setWidget(content);
}

QWidget* MoreAppsPage::makeRow(const QPixmap& symbol, const QString& name, const QString& description,
                               const QString& command, QWidget* parent)
{
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("moreAppsRow"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto* icon = new QLabel(row);
    icon->setPixmap(symbol);
    layout->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* title = new QLabel(name, row);
    QFont bold = title->font();
    bold.setWeight(QFont::DemiBold);
    title->setFont(bold);
    auto* summary = new QLabel(description, row);
    summary->setWordWrap(true);
    summary->setFont(PanelStyle::captionFont());
    PanelStyle::setTextColor(summary, PanelStyle::secondary(palette()));
    auto* commandLine = new QLabel(command, row);
    commandLine->setObjectName(QStringLiteral("moreAppsCommand"));
    commandLine->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    commandLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    texts->addWidget(title);
    texts->addWidget(summary);
    texts->addWidget(commandLine);
    layout->addLayout(texts, 1);
    return row;
}
