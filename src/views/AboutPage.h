#pragma once

#include <QWidget>

class QBoxLayout;
class QCheckBox;
class QPushButton;
class UpdateControls;

// The About tab: the application's name and version, what it does, the update controls, its
// licence and where its data lives, each location a link that opens its folder.
class AboutPage : public QWidget {
    Q_OBJECT
public:
    // An empty version reads as "1.0". Keeps a reference to the updater, which must outlive it.
    AboutPage(const QString& version, UpdateControls& updates, const QString& preferencesFile,
              QWidget* parent = nullptr);

private:
    void buildHeading(QBoxLayout* stack, const QString& version);
    void buildUpdateControls(QBoxLayout* stack);
    void buildDetails(QBoxLayout* stack, const QString& preferencesFile);
    void addDivider(QBoxLayout* stack);

    UpdateControls& m_updates;
    QPushButton* m_check = nullptr;
    QCheckBox* m_automatic = nullptr;
};
