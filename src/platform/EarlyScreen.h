// The size of the screen the toolkit will call primary, asked of the X server directly, before the
// toolkit is up (which takes a good part of a start): work that depends on the screen can begin
// at once. Qt takes the RandR monitor marked primary, else the first one; so does this.
#pragma once

#include <QSize>
#include <QStringList>

#include <optional>

struct xcb_connection_t;

class EarlyScreen {
public:
    // The toolkit will connect to an X server: nothing chose another platform (the environment, the
    // program's own choice `chosen`, a -platform argument) and no -display argument names another one.
    static bool toolkitUsesX11(const QString& chosen, const QStringList& arguments);

    // Connects to the X server of the environment's display.
    EarlyScreen();
    // Disconnects. An X server whose last client leaves starts afresh, keeping the next one
    // waiting: let this go only once the toolkit has connected.
    ~EarlyScreen();
    EarlyScreen(const EarlyScreen&) = delete;
    EarlyScreen& operator=(const EarlyScreen&) = delete;

    // The primary screen's size in device pixels; nothing without an X server to ask.
    std::optional<QSize> primaryScreenPixels() const;

private:
    xcb_connection_t* m_connection = nullptr;
    int m_screenNumber = 0;
};
