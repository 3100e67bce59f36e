// Presses the mouse through XTEST and hears, or sees, what follows, on one clock:
// each line "X Y 1" read from stdin moves the pointer there, presses and releases
// button 1, and prints the milliseconds from the press to the first loud sample of
// the PulseAudio source given (a null sink's monitor), or "-" after a second of
// silence; "X Y 2 PX PY" presses as well, and prints the milliseconds to the screen's
// pixel (PX, PY) changing colour, or "-" after a second; "X Y 0" only moves it and
// prints "-". Built and run by scripts/mesurer.sh son and appui.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <pulse/simple.h>

#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#define FREQUENCE 48000
#define SEUIL 64   // of 32768: louder than any rounding, quieter than the shot's first samples
#define ECART 24   // of 255 on a channel: a pixel changed, beyond any rounding of the browser's

static pa_simple* source;
static pthread_mutex_t verrou = PTHREAD_MUTEX_INITIALIZER;
static double appui = 1e30;      // clock time of the press, s
static double premier = -1;      // of the first loud sample after it
static double bruit = 0;         // of the latest loud sample

static double Maintenant(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Reads a millisecond at a time; a frame's time is the read's end less the frames
// after it, so the source's own latency stays in the figure, the same for every press.
static void* Ecouter(void* rien)
{
    short tampon[FREQUENCE / 1000 * 2];
    (void)rien;
    for (;;) {
        if (pa_simple_read(source, tampon, sizeof tampon, NULL) < 0)
            exit(1);
        double fin = Maintenant();
        int n = sizeof tampon / sizeof tampon[0] / 2;
        pthread_mutex_lock(&verrou);
        for (int i = 0; i < n; i++)
            if (abs(tampon[2 * i]) > SEUIL || abs(tampon[2 * i + 1]) > SEUIL) {
                double t = fin - (double)(n - i) / FREQUENCE;
                if (premier < 0 && t >= appui)
                    premier = t;
                bruit = t;
            }
        pthread_mutex_unlock(&verrou);
    }
    return NULL;
}

static unsigned long Pixel(Display* d, int x, int y)
{
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    unsigned long v = image ? XGetPixel(image, 0, 0) : 0;
    if (image)
        XDestroyImage(image);
    return v;
}

static int Autre(unsigned long a, unsigned long b)
{
    for (int decalage = 0; decalage < 24; decalage += 8)
        if (abs((int)(a >> decalage & 0xff) - (int)(b >> decalage & 0xff)) > ECART)
            return 1;
    return 0;
}

int main(int argc, char** argv)
{
    Display* d = XOpenDisplay(NULL);
    if (argc != 2 || !d) {
        fprintf(stderr, "usage: DISPLAY=... tir SOURCE\n");
        return 2;
    }
    pa_sample_spec format = {PA_SAMPLE_S16LE, FREQUENCE, 2};
    pa_buffer_attr tampons = {(uint32_t)-1, (uint32_t)-1, (uint32_t)-1, (uint32_t)-1,
                              FREQUENCE / 1000 * 4};
    int erreur;
    source = pa_simple_new(NULL, "tir", PA_STREAM_RECORD, argv[1], "mesure", &format, NULL, &tampons, &erreur);
    if (!source) {
        fprintf(stderr, "tir: no source %s\n", argv[1]);
        return 1;
    }
    pthread_t fil;
    pthread_create(&fil, NULL, Ecouter, NULL);
    setvbuf(stdout, NULL, _IOLBF, 0);

    int x, y, appuyer, px = 0, py = 0;
    while (scanf("%d %d %d", &x, &y, &appuyer) == 3) {
        if (appuyer == 2 && scanf("%d %d", &px, &py) != 2)
            return 2;
        XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
        XSync(d, False);
        // The page takes the motion before the press, as a hand would give it time to.
        usleep(50000);
        if (!appuyer) {
            printf("-\n");
            continue;
        }
        // The last shot over first, so each is heard on its own.
        for (int calme = 0; !calme; usleep(5000)) {
            pthread_mutex_lock(&verrou);
            calme = Maintenant() - bruit > 0.1;
            pthread_mutex_unlock(&verrou);
        }
        unsigned long avant = appuyer == 2 ? Pixel(d, px, py) : 0;
        pthread_mutex_lock(&verrou);
        premier = -1;
        appui = Maintenant();
        pthread_mutex_unlock(&verrou);
        XTestFakeButtonEvent(d, 1, True, CurrentTime);
        XSync(d, False);
        if (appuyer == 2) {
            double vu = -1;
            // Every half millisecond: a closer look would take a core from the browser.
            while (vu < 0 && Maintenant() - appui < 1) {
                if (Autre(Pixel(d, px, py), avant))
                    vu = Maintenant();
                else
                    usleep(500);
            }
            XTestFakeButtonEvent(d, 1, False, CurrentTime);
            XSync(d, False);
            if (vu < 0)
                printf("-\n");
            else
                printf("%.2f\n", (vu - appui) * 1000);
            continue;
        }
        usleep(30000);
        XTestFakeButtonEvent(d, 1, False, CurrentTime);
        XSync(d, False);
        double son = -1, depart = Maintenant();
        while (son < 0 && Maintenant() - depart < 1) {
            usleep(1000);
            pthread_mutex_lock(&verrou);
            son = premier;
            pthread_mutex_unlock(&verrou);
        }
        if (son < 0)
            printf("-\n");
        else
            printf("%.2f\n", (son - appui) * 1000);
    }
    return 0;
}
