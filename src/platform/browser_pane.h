#pragma once

#include <QString>
#include <QWidget>

// The embedded web-browser pane. It shows the file whose path it was last given (saved
// web pages, pictures, documents the browser can display) and keeps that location as its
// state. The browser engine is loaded only when the pane is first on screen, so that the
// program starts fast and small and a pane never shown costs nothing.
class TWebBrowser : public QWidget {
    Q_OBJECT

public:
    explicit TWebBrowser(QWidget* parent = nullptr);

    // Points the pane at a file path given as text.
    void navigate(const QString& path);

    // The path last given to navigate(), as given.
    const QString& locationURL() const { return location_; }

    // The local file the pane shows for that path.
    QString localFile() const;

    // The engine's view, once the pane has been on screen; null before (and when the engine
    // could not be loaded, when the pane says so instead).
    QWidget* view() const { return view_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void load();

    QString location_;
    QWidget* view_ = nullptr;
    bool started_ = false;
};
