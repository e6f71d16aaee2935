#include "ShortcutSection.h"

#include "InProcessNotificationCenter.h"
#include "PanelStyle.h"
#include "Preferences.h"
#include "SettingsSymbol.h"
#include "ShortcutText.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

using namespace PreferenceKeys;

namespace {
constexpr int recordLabelMinimumWidth = 130;
constexpr int recordLabelPadding = 10;
constexpr int clearSymbolSize = 14;
} // namespace

ShortcutSection::ShortcutSection(Preferences& preferences, InProcessNotificationCenter& notifications,
                                 QWidget* parent)
    : SettingsSection(QStringLiteral("Pause/Resume Shortcut"), preferences, parent)
    , m_notifications(notifications)
{
    QHBoxLayout* row = addRow();
    buildRecordButton(row);
    buildClearButton(row);
    row->addStretch(1);
    addCaption(QStringLiteral("Press this key combination anywhere to pause or resume tracking."),
               QStringLiteral("shortcutCaption"));
    m_inAppOnly =
        addCaption(QStringLiteral("This desktop does not let Lumatick use the shortcut everywhere: "
                                  "it works only inside Lumatick's windows. To pause from anywhere, "
                                  "bind the command `lumatick ctl toggle-pause` to a key in the "
                                  "desktop's keyboard settings."),
                   QStringLiteral("shortcutInAppOnlyCaption"));
    m_inAppOnly->setVisible(false);
    connect(&m_recorder, &ShortcutRecorder::recordingChanged, this, &ShortcutSection::refresh);
    connect(&m_recorder, &ShortcutRecorder::recorded, this, &ShortcutSection::store);
    startFollowingPreferences();
}

// A bordered button whose title sits on the left, drawn by a label inside it.
void ShortcutSection::buildRecordButton(QHBoxLayout* row)
{
    m_record = new QPushButton(this);
    m_record->setObjectName(QStringLiteral("recordShortcutButton"));
    m_record->setAccessibleName(QStringLiteral("Record pause shortcut"));
    auto* inside = new QHBoxLayout(m_record);
    inside->setContentsMargins(recordLabelPadding, 0, recordLabelPadding, 0);
    m_recordLabel = new QLabel(m_record);
    m_recordLabel->setObjectName(QStringLiteral("shortcutLabel"));
    m_recordLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    inside->addWidget(m_recordLabel);
    m_record->setMinimumHeight(m_record->sizeHint().height());
    connect(m_record, &QPushButton::clicked, this, &ShortcutSection::toggleRecording);
    row->addWidget(m_record);
}

void ShortcutSection::buildClearButton(QHBoxLayout* row)
{
    m_clear = new QToolButton(this);
    m_clear->setObjectName(QStringLiteral("clearShortcutButton"));
    m_clear->setAccessibleName(QStringLiteral("Clear pause shortcut"));
    m_clear->setAutoRaise(true);
    m_clear->setCursor(Qt::PointingHandCursor);
    m_clear->setIconSize(QSize(clearSymbolSize, clearSymbolSize));
    m_clear->setIcon(QIcon(SettingsSymbol::pixmap(SettingsSymbol::Symbol::clearMark,
                                                  PanelStyle::secondary(palette()), clearSymbolSize)));
    connect(m_clear, &QToolButton::clicked, this, [this] { store(ShortcutRecorder::Shortcut{}); });
    row->addWidget(m_clear);
}

void ShortcutSection::setWorksSystemWide(bool works)
{
    m_inAppOnly->setVisible(!works);
}

void ShortcutSection::toggleRecording()
{
    if (m_recorder.isRecording())
        m_recorder.stop();
    else
        m_recorder.start();
}

// A cleared shortcut is stored the same way as a recorded one: key code -1, no modifiers and
// no character.
void ShortcutSection::store(const ShortcutRecorder::Shortcut& shortcut)
{
    preferences().setValue(shortcutKeyCode, shortcut.keyCode);
    preferences().setValue(shortcutModifiers, shortcut.modifiers);
    preferences().setValue(shortcutKeyChar, shortcut.keyChar);
    m_notifications.post(InProcessNotificationCenter::shortcutChanged);
}

void ShortcutSection::refresh()
{
    const qint64 keyCode = preferences().value(shortcutKeyCode);
    const QString keyChar = preferences().value(shortcutKeyChar);
    QFont font = this->font();
    QColor colour = PanelStyle::primary(palette());
    QString text;
    QString spoken;
    if (m_recorder.isRecording()) {
        text = QStringLiteral("Press shortcut\u2026");
        colour = PanelStyle::paused();
    } else if (isShortcutRecorded(keyCode, keyChar)) {
        text = shortcutDisplayText(preferences().value(shortcutModifiers), keyChar);
        spoken = shortcutSpokenText(preferences().value(shortcutModifiers), keyChar);
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(this->font().pointSizeF());
    } else {
        text = QStringLiteral("None \u2014 click to set");
        colour = PanelStyle::secondary(palette());
    }
    m_recordLabel->setText(text);
    // The symbols mean nothing to a screen reader: the button tells the keys in words.
    m_record->setAccessibleDescription(spoken.isEmpty() ? text
                                                        : QStringLiteral("Current shortcut: ") + spoken);
    m_recordLabel->setAccessibleName(spoken.isEmpty() ? text : spoken);
    m_recordLabel->setFont(font);
    // The label lies inside the button, whose own size hint knows nothing of it.
    const int labelWidth = std::max(recordLabelMinimumWidth, m_recordLabel->sizeHint().width());
    m_record->setMinimumWidth(labelWidth + 2 * recordLabelPadding);
    PanelStyle::setTextColor(m_recordLabel, colour);
    m_clear->setVisible(keyCode >= 0);
}
