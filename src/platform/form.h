#pragma once

#include <QAction>
#include <QMenuBar>
#include <QWidget>

// A font of the designed layouts, sized in pixels.
QFont pixelFont(const QString& family, int pixels);

// Fills a widget's background with a colour.
void setBackgroundColour(QWidget* widget, const QColor& colour);
// A text box in black on white.
void setBlackOnWhite(QWidget* box);

// Base of every window of the program. Closing the main form ends the program; closing
// any other form only hides it, and it keeps its state until it is shown again.
class TForm : public QWidget {
    Q_OBJECT

public:
    explicit TForm(QWidget* parent = nullptr);

    // The height of the whole window as designed: the client area plus the window frame.
    void setFormHeight(int height);
    int formHeight() const;

    // Sets the size of the whole window as designed, frame included.
    void setFormSize(int width, int height);

    // Centre the window on the screen every time it is shown.
    void setCentredOnShow(bool centred) { centredOnShow_ = centred; }
    void centreOnScreen();

    // Sets the window to fill the work area of its screen (the screen less its panels).
    void fillWorkArea();

    bool isMainForm() const;

protected:
    // The window's menu bar, placed above its client area, and its items.
    QMenuBar* createMainMenu();
    static QAction* addMenuItem(QWidget* menu, const char* name, const QString& caption);

    // The height the window frame adds to the client area in the designed layouts.
    virtual int frameHeight() const { return 30; }
    virtual int frameWidth() const { return 8; }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool centredOnShow_ = false;
};
