#include "MoreAppsPage.h"

#include "PanelStyle.h"
#include "ProductLinks.h"
#include "SettingsSymbol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int symbolSize = 28;
}

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
    list->setSpacing(12);
    const QString makerLink = QStringLiteral("<a href=\"%1\" style=\"color:%2; text-decoration:none\">%3</a>")
                                  .arg(QString::fromLatin1(ProductLinks::makerWebsite),
                                       PanelStyle::paused().name(), QStringLiteral("Brightlet web site"));
    list->addWidget(
        makeRow(QStringLiteral("More utilities coming soon"),
                QStringLiteral("Placeholder: the list of other Brightlet utilities is not published yet."),
                makerLink, content));
    list->addStretch(1);
    setWidget(content);
}

QWidget* MoreAppsPage::makeRow(const QString& name, const QString& description, const QString& linkText,
                               QWidget* parent)
{
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("moreAppsRow"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto* symbol = new QLabel(row);
    symbol->setPixmap(SettingsSymbol::pixmap(SettingsSymbol::Symbol::grid, PanelStyle::paused(), symbolSize));
    layout->addWidget(symbol, 0, Qt::AlignTop);
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
    auto* link = new QLabel(linkText, row);
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    texts->addWidget(title);
    texts->addWidget(summary);
    texts->addWidget(link);
    layout->addLayout(texts, 1);
    return row;
}
