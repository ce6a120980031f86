/* Watches an X screen for a viewer's pictures: the time from a key press (sent with XTest) or from
 * the start of a program to the moment a large part of the screen shows something else, found by
 * reading the screen (MIT-SHM) after every change the DAMAGE extension reports.
 *
 *   paging_probe keys KEY COUNT DWELL_MS   presses KEY COUNT times, DWELL_MS after each change;
 *                                          prints one time per press in ms
 *   paging_probe launch PROGRAM ARGS...    starts the program, prints the time to its first picture,
 *                                          then ends it
 *
 * Built by paging_e2e.sh: cc -O2 paging_probe.c -lX11 -lXext -lXdamage -lXtst */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { STEP = 16, TIMEOUT_MS = 20000 };

static Display* dpy;
static Window root;
static XImage* shot;
static XShmSegmentInfo shm;
static int damageEvent;
static int width, height;

static double nowMs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* The screen sampled every STEP pixels. */
static unsigned* grid(unsigned* out)
{
    XShmGetImage(dpy, root, shot, 0, 0, AllPlanes);
    int n = 0;
    for (int y = STEP / 2; y < height; y += STEP)
        for (int x = STEP / 2; x < width; x += STEP)
            out[n++] = (unsigned)XGetPixel(shot, x, y) & 0xFFFFFFu;
    return out;
}

static int points(void)
{
    return ((height - STEP / 2 + STEP - 1) / STEP) * ((width - STEP / 2 + STEP - 1) / STEP);
}

static int differ(unsigned a, unsigned b)
{
    for (int s = 0; s < 24; s += 8) {
        int d = (int)((a >> s) & 0xFF) - (int)((b >> s) & 0xFF);
        if (d > 24 || d < -24)
            return 1;
    }
    return 0;
}

/* Waits until at least 30 % of the sampled points differ from before; ms since start, -1 on timeout. */
static double waitForChange(const unsigned* before, unsigned* now, double start)
{
    const int n = points();
    for (;;) {
        int changed = 0;
        grid(now);
        for (int i = 0; i < n; ++i)
            changed += differ(before[i], now[i]);
        if (changed * 10 >= n * 3)
            return nowMs() - start;
        /* Sleep until the next damage, then take in all that came. */
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        while (!XPending(dpy)) {
            const double left = TIMEOUT_MS - (nowMs() - start);
            if (left <= 0)
                return -1;
            poll(&p, 1, (int)left);
        }
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
        }
    }
}

static void drain(int ms)
{
    const double end = nowMs() + ms;
    struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
    for (;;) {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
        }
        const double left = end - nowMs();
        if (left <= 0)
            return;
        poll(&p, 1, (int)left);
    }
}

int main(int argc, char** argv)
{
    if (argc < 3 || (strcmp(argv[1], "keys") && strcmp(argv[1], "launch"))) {
        fprintf(stderr, "usage: paging_probe keys KEY COUNT DWELL_MS | launch PROGRAM ARGS...\n");
        return 2;
    }
    dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "no display\n");
        return 2;
    }
    int error;
    if (!XShmQueryExtension(dpy) || !XDamageQueryExtension(dpy, &damageEvent, &error)) {
        fprintf(stderr, "the X server lacks MIT-SHM or DAMAGE\n");
        return 2;
    }
    const int screen = DefaultScreen(dpy);
    root = RootWindow(dpy, screen);
    width = DisplayWidth(dpy, screen);
    height = DisplayHeight(dpy, screen);
    shot = XShmCreateImage(dpy, DefaultVisual(dpy, screen), DefaultDepth(dpy, screen), ZPixmap, NULL, &shm, width, height);
    shm.shmid = shmget(IPC_PRIVATE, (size_t)shot->bytes_per_line * height, IPC_CREAT | 0600);
    shm.shmaddr = shot->data = shmat(shm.shmid, NULL, 0);
    shm.readOnly = False;
    XShmAttach(dpy, &shm);
    shmctl(shm.shmid, IPC_RMID, NULL);
    XDamageCreate(dpy, root, XDamageReportRawRectangles);
    XSync(dpy, False);

    unsigned* before = malloc(sizeof(unsigned) * points());
    unsigned* now = malloc(sizeof(unsigned) * points());
    if (!strcmp(argv[1], "launch")) {
        grid(before);
        const double start = nowMs();
        const pid_t child = fork();
        if (child == 0) {
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        const double t = waitForChange(before, now, start);
        printf("%.1f\n", t);
        kill(child, SIGTERM);
        waitpid(child, NULL, 0);
        return t < 0;
    }
    const KeyCode key = XKeysymToKeycode(dpy, XStringToKeysym(argv[2]));
    const int count = atoi(argv[3]);
    const int dwell = argc > 4 ? atoi(argv[4]) : 0;
    if (!key) {
        fprintf(stderr, "unknown key %s\n", argv[2]);
        return 2;
    }
    for (int i = 0; i < count; ++i) {
        drain(0);
        grid(before);
        const double start = nowMs();
        XTestFakeKeyEvent(dpy, key, True, CurrentTime);
        XTestFakeKeyEvent(dpy, key, False, CurrentTime);
        XFlush(dpy);
        const double t = waitForChange(before, now, start);
        printf("%.1f\n", t);
        fflush(stdout);
        if (t < 0)
            return 1;
        drain(dwell);
    }
    return 0;
}
