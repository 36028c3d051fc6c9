#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace tavrel {

class ClickLabel;
class Clock;

// The about box: the program's title and version, the freeware notice and a link to the
// maker's home page. It keeps no state: loaded on each opening, unloaded when it closes.
class frmabout final : public QDialog {
    Q_OBJECT
public:
    // `minimiseMainWindow` is called when the link is followed.
    frmabout(const Clock& clock, std::function<void()> minimiseMainWindow,
             QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmabout)

    // Opens the box modally without owner and returns when it has been unloaded.
    static void ShowModal(const Clock& clock, std::function<void()> minimiseMainWindow);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Form_Load();
    void lblurl_Click(Qt::MouseButton button);

    const Clock& m_clock;
    std::function<void()> m_minimiseMainWindow;

    QLabel* lblprogtitle;
    QLabel* lblversion;
    QLabel* lblcopyright;
    QLabel* lblcopyright2;
    QLabel* lbltext1;
    QLabel* lbltext2;
    QLabel* lbltext3;
    QLabel* lbltext4;
    QLabel* lbltext5;
    ClickLabel* lblurl;
    QPushButton* cmdok;
    int m_separatorRight = 0;
};

} // namespace tavrel
