// kvr2_screenshot FILE.png [X Y W H]: saves the whole screen of $DISPLAY,
// or the rectangle given in screen pixels, as a PNG image (the smoke
// scripts take their pictures with it; two pictures of one rectangle are
// byte-identical when its pixels are).
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 6) {
        std::fputs("usage: kvr2_screenshot FILE.png [X Y W H]\n", stderr);
        return 2;
    }
    if (!gtk_init_check(&argc, &argv)) {
        std::fputs("kvr2_screenshot: cannot open the display\n", stderr);
        return 1;
    }
    GdkWindow* root = gdk_get_default_root_window();
    int width = 0;
    int height = 0;
    gdk_drawable_get_size(GDK_DRAWABLE(root), &width, &height);
    int x = 0;
    int y = 0;
    if (argc == 6) {
        x = std::atoi(argv[2]);
        y = std::atoi(argv[3]);
        width = std::atoi(argv[4]);
        height = std::atoi(argv[5]);
    }
    GdkPixbuf* shot =
        gdk_pixbuf_get_from_drawable(nullptr, root, nullptr, x, y, 0, 0, width, height);
    if (shot == nullptr) return 1;
    GError* error = nullptr;
    const bool ok = gdk_pixbuf_save(shot, argv[1], "png", &error, nullptr) != 0;
    if (!ok) std::fprintf(stderr, "kvr2_screenshot: %s\n", error->message);
    if (error != nullptr) g_error_free(error);
    g_object_unref(shot);
    return ok ? 0 : 1;
}
