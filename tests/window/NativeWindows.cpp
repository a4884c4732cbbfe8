#include "NativeWindows.h"

#include <X11/Xlib.h>

namespace
{
    int area (NativeWindowSize size)  { return size.width * size.height; }

    // A window's innermost mapped descendants stand for it: they are what the plug-in drew into.
    NativeWindowSize largestMappedDescendant (Display* display, Window window)
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int numChildren = 0;
        NativeWindowSize largest;

        if (XQueryTree (display, window, &root, &parent, &children, &numChildren) == 0)
            return largest;

        for (unsigned int i = 0; i < numChildren; ++i)
        {
            XWindowAttributes attributes {};

            if (XGetWindowAttributes (display, children[i], &attributes) == 0 || attributes.map_state != IsViewable)
                continue;

            const auto inner = largestMappedDescendant (display, children[i]);
            const auto candidate = area (inner) > 0 ? inner : NativeWindowSize { attributes.width, attributes.height };

            if (area (candidate) > area (largest))
                largest = candidate;
        }

        if (children != nullptr)
            XFree (children);

        return largest;
    }
}

NativeWindowSize largestMappedWindowInside (void* nativeHandle)
{
    auto* display = XOpenDisplay (nullptr);

    if (display == nullptr)
        return {};

    const auto size = largestMappedDescendant (display, (Window) nativeHandle);
    XCloseDisplay (display);
    return size;
}

namespace
{
    // Xvfb runs no window manager, so JUCE's queries for window-manager properties fail all the
    // time; those errors are harmless and not worth a line each.
    int ignoreXError (Display*, XErrorEvent*)  { return 0; }
}

void setUpXlibLikeAHost()
{
    XInitThreads();
    XSetErrorHandler (ignoreXError);
}
