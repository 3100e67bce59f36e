/* What SDL 2 (or sdl2-compat over SDL 3) really took under sdl12-compat. */
#include <SDL.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
typedef struct { Uint32 flags; int a,b; Uint32 f[16]; int w,h; const char* name0; } X;
struct Info { const char* name; Uint32 flags; Uint32 n; Uint32 fmts[16]; int mw, mh; };
static double now(void){struct timespec t;clock_gettime(CLOCK_MONOTONIC,&t);return t.tv_sec+t.tv_nsec/1e9;}
int main(int argc,char**argv){
  if (argc>1 && argv[1][0]=='p') { /* probe first as DefautsSDL does, then set FA */
    void* s=dlopen("libSDL2-2.0.so.0",RTLD_NOW);
    int(*i)(Uint32)=dlsym(s,"SDL_InitSubSystem"); void(*q)(Uint32)=dlsym(s,"SDL_QuitSubSystem");
    const char*(*d)(void)=dlsym(s,"SDL_GetCurrentVideoDriver");
    if(i(SDL_INIT_VIDEO)==0){printf("probe: %s\n",d());q(SDL_INIT_VIDEO);}
    if(argc>2) setenv("SDL_FRAMEBUFFER_ACCELERATION",argv[2],1);
  }
  if(SDL_Init(SDL_INIT_VIDEO)<0){printf("init: %s\n",SDL_GetError());return 1;}
  SDL_Surface*e=SDL_SetVideoMode(640,480,32,SDL_HWSURFACE|SDL_DOUBLEBUF);
  if(!e){printf("setvideomode: %s\n",SDL_GetError());return 1;}
  void* s=dlopen("libSDL2-2.0.so.0",RTLD_NOW);
  void(*v)(SDL_version*)=dlsym(s,"SDL_GetVersion");SDL_version sv;v(&sv);
  const char*(*d)(void)=dlsym(s,"SDL_GetCurrentVideoDriver");
  void*(*w)(Uint32)=dlsym(s,"SDL_GetWindowFromID");
  void*(*r)(void*)=dlsym(s,"SDL_GetRenderer");
  int(*ri)(void*,struct Info*)=dlsym(s,"SDL_GetRendererInfo");
  const char*(*h)(const char*)=dlsym(s,"SDL_GetHint");
  void* win=0; for(int id=1;id<10&&!win;id++) win=w(id);
  struct Info info={0}; void* ren=win?r(win):0; if(ren) ri(ren,&info);
  printf("SDL2 API %d.%d.%d driver %s renderer %s hint FA=%s RD=%s\n",sv.major,sv.minor,sv.patch,d(),info.name?info.name:"?",
    h("SDL_FRAMEBUFFER_ACCELERATION")?h("SDL_FRAMEBUFFER_ACCELERATION"):"-",h("SDL_RENDER_DRIVER")?h("SDL_RENDER_DRIVER"):"-");
  int n=argc>3?atoi(argv[3]):2000; double t0=now(); SDL_Event ev;
  for(int k=0;k<n;k++){SDL_Flip(e);SDL_PollEvent(&ev);}
  printf("%.0f flips/s\n",n/(now()-t0));
  SDL_Quit();return 0;}
