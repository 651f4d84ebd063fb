#pragma once
// An X server of the benchmark's own (Xvfb) on a free display number,
// stopped with this object, and the X client that watches and drives the
// windows on it: when a window is mapped, where it is and how large, a mouse
// click and keys pressed (through the XTest extension, so the program sees
// them as real input), the close request a window manager sends, a picture
// of a window, and the text a program put on the clipboard.

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QSize>
#include <QString>

#include <chrono>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

namespace bench {

class VirtualDisplay
{
public:
    VirtualDisplay() = default;
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    // Starts Xvfb, its messages going to logFile, and connects to it.
    bool start(const QString &logFile, QString *error);
    QString name() const { return m_name; } // ":N"

    struct Mapped
    {
        std::uint32_t window = 0; // 0: none was mapped in time
        std::chrono::steady_clock::time_point at;
    };
    // Forgets what happened on the display so far.
    void discardEvents();
    // The next top-level window mapped (menus and tooltips left out), and
    // when the map reached the benchmark.
    Mapped waitForMap(int timeoutMs);
    // The window's top left corner on the screen, and its size.
    QPoint origin(std::uint32_t window);
    QSize size(std::uint32_t window);
    // Moves the pointer to `at` on the screen and clicks the left button.
    bool click(const QPoint &at);
    // Presses the keys (X keysyms) in order and releases them in reverse,
    // as a person types a chord such as Control+A. False when a key is not
    // on the display's keyboard.
    bool pressKeys(const std::vector<std::uint32_t> &keysyms);
    // Asks the window to close, as a window manager's close button does.
    bool requestClose(std::uint32_t window);
    // What the screen shows where the window is.
    QImage grab(std::uint32_t window);
    // The text on the clipboard (the CLIPBOARD selection, as UTF-8), asked
    // of its owner; empty when there is none within timeoutMs.
    QString clipboardText(int timeoutMs);

private:
    std::uint32_t atom(const char *name);

    QProcess m_server;
    QString m_name;
    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
};

} // namespace bench
