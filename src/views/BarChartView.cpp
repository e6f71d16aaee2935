#include "BarChartView.h"

#include "BarChartAccessible.h"
#include "ChartHoursText.h"
#include "PanelStyle.h"
#include "ThresholdTier.h"

#include <QBarSet>
#include <QCategoryAxis>
#include <QCursor>
#include <QEvent>
#include <QGraphicsLayout>
#include <QStackedBarSeries>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace {

constexpr std::array tiers{ThresholdTier::green, ThresholdTier::yellow, ThresholdTier::red};

qreal hoursOf(qint64 seconds)
{
    return static_cast<qreal>(seconds) / 3600.0;
}

void removeAllCategories(QCategoryAxis& axis)
{
    for (const QString& label : axis.categoriesLabels())
        axis.remove(label);
}

} // namespace

BarChartView::BarChartView(const QString& yAxisLabel, Preferences& preferences, QWidget* parent)
    : QChartView(parent)
    , m_tierColors(preferences)
    , m_yAxisLabel(yAxisLabel)
{
    BarChartAccessible::install();
    setFixedHeight(chartHeight);
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing);
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundVisible(false);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    setChart(chart);
    m_series = new QStackedBarSeries(chart);
    for (std::size_t tier = 0; tier < tiers.size(); ++tier) {
        auto* set = new QBarSet(QString(), m_series);
        set->setPen(Qt::NoPen);
        m_tierSets.append(set);
        m_series->append(set);
    }
    chart->addSeries(m_series);
    setUpAxes();
    applyPalette();
    connect(m_series, &QStackedBarSeries::hovered, this,
            [this](bool hovered, int index) { showHours(hovered, index); });
    // Annotations follow the plot area, which moves when the axis labels change width.
    connect(chart, &QChart::plotAreaChanged, viewport(), qOverload<>(&QWidget::update));
    rebuild();
}

void BarChartView::setEntries(const QList<BarChartEntry>& entries)
{
    m_entries = entries;
    rebuild();
}

void BarChartView::setThresholds(qint64 greenMaxHours, qint64 yellowMaxHours)
{
    m_greenMaxHours = greenMaxHours;
    m_yellowMaxHours = yellowMaxHours;
    rebuild();
}

QColor BarChartView::barColor(qint64 seconds) const
{
    return m_tierColors.tierColor(thresholdTierFor(seconds, m_greenMaxHours, m_yellowMaxHours));
}

QRectF BarChartView::barRect(int index) const
{
    if (index < 0 || index >= m_entries.size())
        return {};
    const qreal halfWidth = m_series->barWidth() / 2;
    const QPointF topLeft = scenePoint(index - halfWidth, hoursOf(m_entries.at(index).seconds));
    const QPointF bottomRight = scenePoint(index + halfWidth, 0);
    return QRectF(mapFromScene(topLeft), mapFromScene(bottomRight)).normalized();
}

QStringList BarChartView::visibleCategoryLabels() const
{
    return m_categoryAxis->categoriesLabels();
}

QStringList BarChartView::hoursMarks() const
{
    return m_hoursAxis->categoriesLabels();
}

QList<int> BarChartView::labelledIndices(qsizetype count)
{
    const auto total = static_cast<int>(count);
    const int stride = std::max(1, (total + desiredLabelCount - 1) / desiredLabelCount);
    QList<int> indices;
    for (int index = 0; index < total; ++index) {
        if ((total - 1 - index) % stride == 0)
            indices.append(index);
    }
    return indices;
}

QList<int> BarChartView::annotatedIndices() const
{
    QFont font = this->font();
    font.setPointSize(annotationPointSize);
    const QFontMetricsF metrics(font);
    const qreal column = scenePoint(1, 0).x() - scenePoint(0, 0).x();
    qreal widest = 0;
    for (const BarChartEntry& entry : std::as_const(m_entries))
        widest = std::max(widest, metrics.horizontalAdvance(chartAnnotationText(entry.seconds)));
    if (widest + annotationSpacing <= column) {
        QList<int> all(m_entries.size());
        std::iota(all.begin(), all.end(), 0);
        return all;
    }
    return labelledIndices(m_entries.size());
}

// The hours text above a bar, always at the same legible size: where the texts of every bar
// would not fit side by side (thirty days), only the bars under a date carry one, and hovering
// any bar tells its hours.
void BarChartView::drawForeground(QPainter* painter, const QRectF& rect)
{
    QChartView::drawForeground(painter, rect);
    QFont font = this->font();
    font.setPointSize(annotationPointSize);
    const QFontMetricsF metrics(font);
    painter->save();
    painter->setFont(font);
    painter->setPen(PanelStyle::secondary(palette()));
    for (int index : annotatedIndices()) {
        const qint64 seconds = m_entries.at(index).seconds;
        const QString text = chartAnnotationText(seconds);
        if (text.isEmpty())
            continue;
        const QPointF top = scenePoint(index, hoursOf(seconds));
        const qreal width = metrics.horizontalAdvance(text);
        painter->drawText(
            QRectF(top.x() - width / 2, top.y() - annotationGap - metrics.height(), width, metrics.height()),
            Qt::AlignCenter, text);
    }
    painter->restore();
}

void BarChartView::showHours(bool hovered, int index)
{
    if (!hovered || index < 0 || index >= m_entries.size()) {
        QToolTip::hideText();
        return;
    }
    const BarChartEntry& entry = m_entries.at(index);
    QToolTip::showText(QCursor::pos(), entry.label + QStringLiteral(": ") + chartHoursText(entry.seconds),
                       this);
}

void BarChartView::changeEvent(QEvent* event)
{
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
}

void BarChartView::setUpAxes()
{
    m_categoryAxis = new QCategoryAxis(this);
    m_categoryAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_categoryAxis->setGridLineVisible(false);
    m_categoryAxis->setTruncateLabels(false);
    // The first category starts at the plot's edge, so its boundary mark is not drawn inside.
    m_categoryAxis->setStartValue(-0.5);
    m_hoursAxis = new QCategoryAxis(this);
    m_hoursAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_hoursAxis->setTitleText(m_yAxisLabel);
    m_hoursAxis->setLineVisible(false);
    chart()->addAxis(m_categoryAxis, Qt::AlignBottom);
    chart()->addAxis(m_hoursAxis, Qt::AlignLeft);
    m_series->attachAxis(m_categoryAxis);
    m_series->attachAxis(m_hoursAxis);
}

// The chart theme paints black on white whatever the desktop; the axes follow the window's
// palette instead, like the rest of the window.
void BarChartView::applyPalette()
{
    const QPalette colours = palette();
    setBackgroundBrush(colours.window());
    QFont labelFont = font();
    labelFont.setPointSize(9);
    QFont titleFont = font();
    titleFont.setPointSize(9);
    for (QAbstractAxis* axis : std::initializer_list<QAbstractAxis*>{m_categoryAxis, m_hoursAxis}) {
        axis->setLabelsFont(labelFont);
        axis->setTitleFont(titleFont);
        axis->setLabelsBrush(PanelStyle::secondary(colours));
        axis->setTitleBrush(PanelStyle::secondary(colours));
        axis->setLinePenColor(PanelStyle::tertiary(colours));
        axis->setGridLineColor(PanelStyle::withOpacity(PanelStyle::primary(colours), 0.12));
    }
    // Room on the right for the newest bar's category label, which is centred on the bar, and
    // at the top for the upper half of the highest hours mark, which is centred on its line.
    chart()->setMargins(QMargins(0, (QFontMetrics(labelFont).height() + 1) / 2, labelOverhang, 0));
    viewport()->update();
}

void BarChartView::rebuild()
{
    fillSets();
    relabelCategories();
    rescaleValues();
    viewport()->update();
}

// Read on every rebuild, so a colour chosen in the settings shows at the next load.
void BarChartView::fillSets()
{
    for (std::size_t tier = 0; tier < tiers.size(); ++tier) {
        QBarSet* set = m_tierSets.at(static_cast<qsizetype>(tier));
        set->remove(0, set->count());
        set->setColor(m_tierColors.tierColor(tiers.at(tier)));
    }
    for (const BarChartEntry& entry : std::as_const(m_entries)) {
        const ThresholdTier tier = thresholdTierFor(entry.seconds, m_greenMaxHours, m_yellowMaxHours);
        for (std::size_t index = 0; index < tiers.size(); ++index)
            m_tierSets.at(static_cast<qsizetype>(index))
                ->append(tiers.at(index) == tier ? hoursOf(entry.seconds) : 0);
    }
}

void BarChartView::relabelCategories()
{
    removeAllCategories(*m_categoryAxis);
    for (int index : labelledIndices(m_entries.size()))
        m_categoryAxis->append(m_entries.at(index).label, index);
    m_categoryAxis->setRange(-0.5, std::max<qreal>(0.5, static_cast<qreal>(m_entries.size()) - 0.5));
}

// A fifth of headroom above the tallest bar keeps its annotation inside the plot; the top is
// rounded up to a whole step of 1, 2 or 5 times a power of ten so the marks read as round hours.
void BarChartView::rescaleValues()
{
    qint64 tallest = 0;
    for (const BarChartEntry& entry : std::as_const(m_entries))
        tallest = std::max(tallest, entry.seconds);
    const qreal top = std::max<qreal>(1, hoursOf(tallest) * 1.2);
    const qreal step = valueStep(top);
    const int steps = static_cast<int>(std::ceil(top / step - 1e-9));
    removeAllCategories(*m_hoursAxis);
    for (int mark = 0; mark <= steps; ++mark)
        m_hoursAxis->append(QString::number(mark * step), mark * step);
    m_hoursAxis->setRange(0, steps * step);
}

qreal BarChartView::valueStep(qreal top)
{
    const qreal rough = top / maximumValueSteps;
    const qreal magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    for (qreal multiple : {1.0, 2.0, 5.0}) {
        if (multiple * magnitude >= rough)
            return multiple * magnitude;
    }
    return 10 * magnitude;
}

QPointF BarChartView::scenePoint(qreal category, qreal hours) const
{
    return chart()->mapToScene(chart()->mapToPosition(QPointF(category, hours), m_series));
}
