#pragma once

#include "MainWindowPort.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace tavrel {

// The time stores without a window.
inline const QString kNoTime = QStringLiteral("00:00");

class ComposerDialogs;
class ComposerLineEdit;
class MessageTextEdit;
class ProgramError;
class Registry;
class StartupAndRoutines;
class TrayHook;
class UpDown;
enum class SaveFocus;

// The main window: the composer in which messages are written, saved, edited, deleted and
// reset; it carries the program's two timers and, through its tray hook, the notification-area
// icon. Created once, on the engine's first use of the window; Form_Load then runs.
class frmmain final : public QWidget, public MainWindowPort {
    Q_OBJECT
public:
    using EndProgram = std::function<void()>;
    using ModalOpen = std::function<bool()>;

    frmmain(StartupAndRoutines& engine, Registry& registry, ComposerDialogs& dialogs,
            QWidget* parent = nullptr);
    ~frmmain() override;
    Q_DISABLE_COPY_MOVE(frmmain)

    // Set before Form_Load; without one the window counts as having no tray and stays shown.
    void setTrayHook(TrayHook* hook) { m_tray = hook; }
    // Form_Unload's end of the program; by default the application's event loops end.
    void setEndProgram(EndProgram end) { m_endProgram = std::move(end); }
    // Whether a modal window of the program is open (then the window cannot be shown).
    void setModalOpen(ModalOpen modalOpen) { m_modalOpen = std::move(modalOpen); }

    // --- MainWindowPort -------------------------------------------------------------------
    void addSavedMessage(const QString& description) override;
    void setEditDeleteEnabled(bool enabled) override;
    void showPlaceholder() override;
    void showWindow() override;
    void setTimerMessageEnabled(bool enabled) override;

    // --- lifecycle ------------------------------------------------------------------------
    void Form_Load();
    void cmdHide_Click();
    void cmdExit_Click() { ConfirmQuit(); }
    void menuExit_Click() { ConfirmQuit(); }
    void ConfirmQuit();
    // The close sequence; it never refuses. Runs once, however the window is unloaded.
    void Form_QueryUnload();
    void Form_Unload();
    bool unloaded() const { return m_unloaded; }
    // Moves the window to the middle of its screen; its size stays.
    void centreWindow();
    // Removes the tray icon alone (the program ends after a corrupted message file).
    void removeTrayIcon();
    // Shows the window when the icon, added at load, never appeared in a host.
    void checkDocked();
    // How long a host may take to show the icon before the window comes up instead.
    static constexpr int kDockWait = 5000;
    // How often the check looks again while a box is open.
    static constexpr int kDockRecheck = 1000;

    // --- tray menu ------------------------------------------------------------------------
    void menuSettings_Click();
    void menuStatus_Click();
    void menuAbout_Click();

    // --- timers ---------------------------------------------------------------------------
    void TimerMessage_Timer();
    void TimerNewDay_Timer();

    // --- composer -------------------------------------------------------------------------
    void cmdSaveMessage_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();
    void cmdReset_Click();
    void actionPrior();
    void cmdcalendar_Click();
    void cmdOptional_Click();
    void txtMessageName_GotFocus();
    void txtmessage_GotFocus();
    void txtMessageName_KeyUp();
    void txtmessage_KeyUp();
    void cboSavedmessages_Change();
    void cboSavedmessages_Click();
    void UpDownprior_Change();
    void lblDaysprior_MouseMove();
    // Selects a list position in code, as a selection by the user (-1 for none).
    void selectSavedMessage(int index);

    // --- controls, named as the program knows them ----------------------------------------
    QLabel* lblSaved = nullptr;
    QComboBox* cboSavedmessages = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdDelete = nullptr;
    QLabel* lblMessagename = nullptr;
    ComposerLineEdit* txtMessageName = nullptr;
    QLabel* lblName = nullptr;
    MessageTextEdit* txtmessage = nullptr;
    QPushButton* cmdcalendar = nullptr;
    QPushButton* cmdOptional = nullptr;
    QLabel* lblHOLDER = nullptr;
    QLabel* lblchoosendate = nullptr;
    QLabel* lblDaysprior = nullptr;
    ComposerLineEdit* txtDaysprior = nullptr;
    UpDown* UpDownprior = nullptr;
    QPushButton* cmdSaveMessage = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdHide = nullptr;
    QPushButton* cmdExit = nullptr;

    // Value stores the user never sees.
    QString lblchoosenpriordate = QStringLiteral("lblchoosenpriordate");
    QString lblHIDDENstart = kNoTime;
    QString lblHIDDENeinde = kNoTime;
    QString lblHIDDENdateTODAY;

    QTimer TimerMessage;
    QTimer TimerNewDay;
    QTimer DockCheck;

    // The controls are built on first need: a program that starts hidden in the tray never
    // lays out text (which loads the font files and the shaper) until the window is wanted.
    // Until then the saved descriptions and the Edit/Delete state wait in plain members.
    void ensureControls();
    bool controlsBuilt() const { return cboSavedmessages != nullptr; }
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void setTabOrder();
    void connectHandlers();
    QString todayText() const;
    void showError(const ProgramError& error, const QString& routine);
    void focusAfterRefusal(SaveFocus focus, bool selectText);
    void writeComboItem();
    void restorePosition();
    static bool onSomeScreen(const QRect& window);
    void clearComposer();
    QStringList listEntries() const;
    // Black and navy texts, or the palette's own under a dark theme.
    void applyTextColours();

    StartupAndRoutines& m_engine;
    Registry& m_registry;
    ComposerDialogs& m_dialogs;
    TrayHook* m_tray = nullptr;
    bool m_inTray = false;
    QStringList m_pendingSaved;
    bool m_pendingEditDelete = true;
    EndProgram m_endProgram;
    ModalOpen m_modalOpen;
    bool m_unloaded = false;
};

} // namespace tavrel
