#include "virtualdisplay.h"

#include <QStandardPaths>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <poll.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace bench {

namespace {

constexpr int kServerStartMs = 20000;

struct FreeDeleter
{
    void operator()(void *pointer) const { std::free(pointer); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;
using Clock = std::chrono::steady_clock;

// The first event from the display that `wanted` accepts (those before it
// are dropped), or none when the deadline passes or the connection breaks.
Reply<xcb_generic_event_t> nextEvent(xcb_connection_t *connection, Clock::time_point deadline,
                                     const std::function<bool(const xcb_generic_event_t &)> &wanted)
{
    for (;;) {
        while (Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection)}) {
            if (wanted(*event))
                return event;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(connection))
            return nullptr;
        pollfd watched{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&watched, 1, int(left.count()));
    }
}

} // namespace

VirtualDisplay::~VirtualDisplay()
{
    if (m_connection)
        xcb_disconnect(m_connection);
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
    }
}

bool VirtualDisplay::start(const QString &logFile, QString *error)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        *error = QStringLiteral("Xvfb is not installed (scripts/install-deps installs it)");
        return false;
    }
    // The server picks a free display number itself and writes it to standard output.
    m_server.setStandardErrorFile(logFile);
    m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp"), QStringLiteral("-noreset")});
    QByteArray number;
    while (!number.endsWith('\n') && m_server.waitForReadyRead(kServerStartMs))
        number += m_server.readAllStandardOutput();
    if (number.trimmed().isEmpty()) {
        *error = QStringLiteral("Xvfb did not start:");
        return false;
    }
    m_name = QLatin1Char(':') + QString::fromLatin1(number.trimmed());

    int screenNumber = 0;
    m_connection = xcb_connect(m_name.toLatin1().constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        *error = QStringLiteral("no connection to the display %1").arg(m_name);
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    m_root = screens.data->root;
    // Map and unmap notices of every window made on the screen.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    Reply<xcb_generic_error_t> failed(
        xcb_request_check(m_connection, xcb_change_window_attributes_checked(m_connection, m_root, XCB_CW_EVENT_MASK, &mask)));
    Reply<xcb_query_extension_reply_t> xtest(xcb_query_extension_reply(
        m_connection, xcb_query_extension(m_connection, std::strlen("XTEST"), "XTEST"), nullptr));
    if (failed || !xtest || !xtest->present) {
        *error = QStringLiteral("the display %1 cannot be watched or has no XTEST").arg(m_name);
        return false;
    }
    return true;
}

void VirtualDisplay::discardEvents()
{
    xcb_flush(m_connection);
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
        std::free(event);
}

VirtualDisplay::Mapped VirtualDisplay::waitForMap(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const Reply<xcb_generic_event_t> event = nextEvent(m_connection, deadline, [this](const xcb_generic_event_t &e) {
        const auto &map = reinterpret_cast<const xcb_map_notify_event_t &>(e);
        return (e.response_type & 0x7f) == XCB_MAP_NOTIFY && map.event == m_root && !map.override_redirect;
    });
    if (!event)
        return {};
    return {reinterpret_cast<const xcb_map_notify_event_t *>(event.get())->window, Clock::now()};
}

QSize VirtualDisplay::size(std::uint32_t window)
{
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    return geometry ? QSize(geometry->width, geometry->height) : QSize();
}

QPoint VirtualDisplay::origin(std::uint32_t window)
{
    Reply<xcb_translate_coordinates_reply_t> place(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr));
    return place ? QPoint(place->dst_x, place->dst_y) : QPoint();
}

bool VirtualDisplay::click(const QPoint &at)
{
    xcb_test_fake_input(m_connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root, std::int16_t(at.x()),
                        std::int16_t(at.y()), 0);
    xcb_test_fake_input(m_connection, XCB_BUTTON_PRESS, XCB_BUTTON_INDEX_1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(m_connection, XCB_BUTTON_RELEASE, XCB_BUTTON_INDEX_1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    return xcb_flush(m_connection) > 0;
}

bool VirtualDisplay::pressKeys(const std::vector<std::uint32_t> &keysyms)
{
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    Reply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, std::uint8_t(count)), nullptr));
    if (!mapping)
        return false;
    const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKey = mapping->keysyms_per_keycode;
    std::vector<std::uint8_t> codes;
    for (const std::uint32_t wanted : keysyms) {
        int found = -1;
        for (int i = 0; i < count * perKey && found < 0; ++i) {
            if (symbols[i] == wanted)
                found = setup->min_keycode + i / perKey;
        }
        if (found < 0)
            return false;
        codes.push_back(std::uint8_t(found));
    }
    for (const std::uint8_t code : codes)
        xcb_test_fake_input(m_connection, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    for (auto code = codes.rbegin(); code != codes.rend(); ++code)
        xcb_test_fake_input(m_connection, XCB_KEY_RELEASE, *code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    return xcb_flush(m_connection) > 0;
}

QImage VirtualDisplay::grab(std::uint32_t window)
{
    const QPoint at = origin(window);
    const QSize extent = size(window);
    Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, std::int16_t(at.x()), std::int16_t(at.y()),
                      std::uint16_t(extent.width()), std::uint16_t(extent.height()), ~0u),
        nullptr));
    // The display is 24 bits deep, 32 bits a pixel: Qt's RGB32.
    if (!image || xcb_get_image_data_length(image.get()) < extent.width() * extent.height() * 4)
        return QImage();
    return QImage(xcb_get_image_data(image.get()), extent.width(), extent.height(), extent.width() * 4,
                  QImage::Format_RGB32)
        .copy();
}

QString VirtualDisplay::clipboardText(int timeoutMs)
{
    const std::uint32_t requestor = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, requestor, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const std::uint32_t property = atom("SUPPORTTOOL_CLIPBOARD");
    xcb_convert_selection(m_connection, requestor, atom("CLIPBOARD"), atom("UTF8_STRING"), property, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const Reply<xcb_generic_event_t> event = nextEvent(m_connection, deadline, [requestor](const xcb_generic_event_t &e) {
        return (e.response_type & 0x7f) == XCB_SELECTION_NOTIFY
               && reinterpret_cast<const xcb_selection_notify_event_t &>(e).requestor == requestor;
    });
    QString text;
    const auto *notice = reinterpret_cast<const xcb_selection_notify_event_t *>(event.get());
    if (notice && notice->property != XCB_ATOM_NONE) {
        const Reply<xcb_get_property_reply_t> value(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, true, requestor, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 24),
            nullptr));
        if (value)
            text = QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(value.get())),
                                     xcb_get_property_value_length(value.get()));
    }
    xcb_destroy_window(m_connection, requestor);
    xcb_flush(m_connection);
    return text;
}

bool VirtualDisplay::requestClose(std::uint32_t window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection, false, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&message));
    return xcb_flush(m_connection) > 0;
}

std::uint32_t VirtualDisplay::atom(const char *name)
{
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, false, std::uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : std::uint32_t(XCB_ATOM_NONE);
}

} // namespace bench
