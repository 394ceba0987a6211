/* A pointer for a Wayland compositor that has no input device of its own (a
 * headless one), made with the compositor's virtual-pointer protocol
 * (zwlr_virtual_pointer_v1, which wlroots compositors such as sway offer).
 *
 *   wlpointer WIDTH HEIGHT     the size of the output, in pixels
 *
 * Reads commands from its standard input, one a line, and answers "ok" to
 * each once the compositor has taken it:
 *   move X Y      the pointer to a point of the output, in pixels
 *   press         the left button down
 *   release       the left button up
 * The pointer lives as long as this program, so that a client keeps the
 * pointer it was given. */
#include <wayland-client.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#define BUTTON_LEFT 0x110 /* BTN_LEFT of linux/input-event-codes.h */

/* The protocol's two interfaces, written out for the requests used here: the
 * opcodes are those of wlr-virtual-pointer-unstable-v1. */
extern const struct wl_interface pointer_interface;
static const struct wl_interface *no_types[] = {NULL, NULL, NULL, NULL, NULL};
static const struct wl_interface *create_types[] = {&wl_seat_interface, &pointer_interface};

static const struct wl_message pointer_requests[] = {
    {"motion", "uff", no_types},   {"motion_absolute", "uuuuu", no_types},
    {"button", "uuu", no_types},   {"axis", "uuf", no_types},
    {"frame", "", no_types},       {"axis_source", "u", no_types},
    {"axis_stop", "uu", no_types}, {"axis_discrete", "uufi", no_types},
    {"destroy", "", no_types},
};
const struct wl_interface pointer_interface = {"zwlr_virtual_pointer_v1", 1, 9,
                                               pointer_requests,          0, NULL};
static const struct wl_message manager_requests[] = {
    {"create_virtual_pointer", "?on", create_types},
    {"destroy", "", no_types},
};
static const struct wl_interface manager_interface = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, manager_requests, 0, NULL};

enum { MOTION_ABSOLUTE = 1, BUTTON = 2, FRAME = 4 };

static struct wl_proxy *manager;
static struct wl_seat *seat;

static void global(void *data, struct wl_registry *registry, uint32_t name, const char *interface,
                   uint32_t version)
{
    (void)data;
    (void)version;
    if (strcmp(interface, manager_interface.name) == 0)
        manager = (struct wl_proxy *)wl_registry_bind(registry, name, &manager_interface, 1);
    else if (strcmp(interface, "wl_seat") == 0 && !seat)
        seat = (struct wl_seat *)wl_registry_bind(registry, name, &wl_seat_interface, 1);
}

static void global_remove(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {global, global_remove};

static uint32_t now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: wlpointer WIDTH HEIGHT\n");
        return 2;
    }
    const uint32_t width = (uint32_t)atoi(argv[1]);
    const uint32_t height = (uint32_t)atoi(argv[2]);
    struct wl_display *display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "wlpointer: no Wayland compositor to connect to\n");
        return 1;
    }
    struct wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!manager || !seat) {
        fprintf(stderr, "wlpointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    struct wl_proxy *pointer =
        wl_proxy_marshal_constructor(manager, 0, &pointer_interface, seat, NULL);
    wl_display_roundtrip(display);
    printf("ok\n");
    fflush(stdout);

    char line[128];
    while (fgets(line, sizeof line, stdin)) {
        unsigned x, y;
        if (sscanf(line, "move %u %u", &x, &y) == 2)
            wl_proxy_marshal(pointer, MOTION_ABSOLUTE, now_ms(), x, y, width, height);
        else if (strncmp(line, "press", 5) == 0)
            wl_proxy_marshal(pointer, BUTTON, now_ms(), BUTTON_LEFT, 1);
        else if (strncmp(line, "release", 7) == 0)
            wl_proxy_marshal(pointer, BUTTON, now_ms(), BUTTON_LEFT, 0);
        else {
            fprintf(stderr, "wlpointer: unknown command: %s", line);
            return 2;
        }
        wl_proxy_marshal(pointer, FRAME);
        if (wl_display_roundtrip(display) < 0) {
            fprintf(stderr, "wlpointer: the compositor went away\n");
            return 1;
        }
        printf("ok\n");
        fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
