#include "XWindows.h"

#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace XWindows {

Display *open(const QString &name)
{
    return XOpenDisplay(name.isEmpty() ? nullptr : name.toUtf8().constData());
}

void close(Display *display)
{
    if (display)
        XCloseDisplay(display);
}

int shapeRectangles(Display *display, Window window)
{
    int count = 0, ordering = 0;
    XRectangle *rects = XShapeGetRectangles(display, window, ShapeBounding, &count, &ordering);
    if (rects)
        XFree(rects);
    return count;
}

namespace {

Window search(Display *d, Window w, const QByteArray &name)
{
    char *found = nullptr;
    if (XFetchName(d, w, &found) && found) {
        const bool match = name == found;
        XFree(found);
        XWindowAttributes a;
        if (match && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable)
            return w;
    }
    ::Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window result = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !result; ++i)
            result = search(d, children[i], name);
        if (children)
            XFree(children);
    }
    return result;
}

} // namespace

Window find(Display *display, const QString &name)
{
    return search(display, DefaultRootWindow(display), name.toUtf8());
}

Window waitFor(Display *display, const QString &name, int seconds)
{
    for (int i = 0; i < seconds * 20; ++i) {
        if (Window w = find(display, name))
            return w;
        QThread::msleep(50);
    }
    return 0;
}

QRect geometry(Display *display, Window window)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a))
        return {};
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {x, y, a.width, a.height};
}

QList<QSize> iconSizes(Display *display, Window window)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    QList<QSize> sizes;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 1 << 24, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) != Success || !data)
        return sizes;
    // 32-bit items come as longs: width, height, then width x height pixels, for each picture.
    const long *items = reinterpret_cast<const long *>(data);
    for (unsigned long i = 0; format == 32 && i + 2 <= count;) {
        const long w = items[i], h = items[i + 1];
        if (w <= 0 || h <= 0 || i + 2 + w * h > count)
            break;
        sizes << QSize(int(w), int(h));
        i += 2 + w * h;
    }
    XFree(data);
    return sizes;
}

void move(Display *display, Window window, int x, int y)
{
    XMoveWindow(display, window, x, y);
    XSync(display, False);
}

void askToClose(Display *display, Window window)
{
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &e);
    XSync(display, False);
}

} // namespace XWindows
