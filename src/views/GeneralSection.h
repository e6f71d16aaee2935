#pragma once

#include "SettingsSection.h"
#include "SharedTotalsFolder.h"

#include <QPointer>

#include <functional>

class LoginItem;
class QComboBox;
class QLineEdit;
class QPushButton;

// "General": starting at login, and where the status item shows the time. The switch follows
// the login service: when a change fails the error is not shown, the switch simply returns to
// what the service now reports. Sharing the totals is on while a folder is chosen; turning it on
// asks for the folder; a fault of the folder and the computers found there show under it.
class GeneralSection : public SettingsSection {
    Q_OBJECT
public:
    GeneralSection(Preferences& preferences, LoginItem& loginItem, QWidget* parent = nullptr);

    // Makes the preference say what the login service reports, as the window appears.
    void syncLaunchAtLogin();

    // Asks for a folder, starting at the given one; empty when the user cancels.
    using FolderChooser = std::function<QString(const QString& start)>;
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    // The shared folder, whose fault and computers are read at every refresh.
    void setSharedTotals(const SharedTotalsFolder* folder);

protected:
    void refresh() override;

private:
    void applyLaunchAtLogin(bool enabled);
    void buildTimePlacement();
    void buildSharing();
    void applySharing(bool enabled);
    void chooseFolder();
    void refreshSharing();
    void showComputers();
    void addComputerLine(const QString& text, const QString& spoken);

    LoginItem& m_loginItem;
    QCheckBox* m_launchAtLogin = nullptr;
    QComboBox* m_timePlacement = nullptr;
    QCheckBox* m_share = nullptr;
    QWidget* m_sharingRows = nullptr;
    QPushButton* m_folderButton = nullptr;
    QLineEdit* m_computerName = nullptr;
    QLabel* m_problemCaption = nullptr;
    QVBoxLayout* m_sharingLayout = nullptr;
    QList<QLabel*> m_computerLines;
    FolderChooser m_chooseFolder;
    QPointer<const SharedTotalsFolder> m_sharedTotals;
};
