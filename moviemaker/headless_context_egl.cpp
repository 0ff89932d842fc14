// The headless context through EGL: a GPU through EGL's device platform where there is one,
// else Mesa's surfaceless platform (software rendering), a context made current with no
// surface. libEGL is opened at run time, so a machine without it gets a sentence, not a loader
// error, and the window program does not depend on it.
#include "moviemaker/headless_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>
#include <dlfcn.h>
#include <vector>

namespace {

struct eglFunctions {
    PFNEGLGETPROCADDRESSPROC getProcAddress = nullptr;
    PFNEGLQUERYSTRINGPROC queryString = nullptr;
    PFNEGLINITIALIZEPROC initialize = nullptr;
    PFNEGLTERMINATEPROC terminate = nullptr;
    PFNEGLBINDAPIPROC bindApi = nullptr;
    PFNEGLCHOOSECONFIGPROC chooseConfig = nullptr;
    PFNEGLCREATECONTEXTPROC createContext = nullptr;
    PFNEGLDESTROYCONTEXTPROC destroyContext = nullptr;
    PFNEGLMAKECURRENTPROC makeCurrent = nullptr;
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay = nullptr;
    PFNEGLQUERYDEVICESEXTPROC queryDevices = nullptr;
    PFNEGLQUERYDEVICESTRINGEXTPROC queryDeviceString = nullptr;
};

void* gLibrary = nullptr;
eglFunctions egl;
EGLDisplay gDisplay = EGL_NO_DISPLAY;
EGLContext gContext = EGL_NO_CONTEXT;

template <typename F> bool find(F& function, const char* name) {
    function = reinterpret_cast<F>(dlsym(gLibrary, name));
    return function != nullptr;
}

bool hasExtension(const char* list, const char* name) {
    const size_t length = std::strlen(name);
    for (const char* p = list ? std::strstr(list, name) : nullptr; p; p = std::strstr(p + 1, name)) {
        if ((p == list || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0')) {
            return true;
        }
    }
    return false;
}

bool loadEgl(std::string& problem) {
    gLibrary = dlopen("libEGL.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!gLibrary) {
        problem = "EGL is not installed (libEGL.so.1; on Debian: apt install libegl1 "
                  "libegl-mesa0)";
        return false;
    }
    if (!(find(egl.getProcAddress, "eglGetProcAddress") && find(egl.queryString, "eglQueryString") &&
          find(egl.initialize, "eglInitialize") && find(egl.terminate, "eglTerminate") &&
          find(egl.bindApi, "eglBindAPI") && find(egl.chooseConfig, "eglChooseConfig") &&
          find(egl.createContext, "eglCreateContext") &&
          find(egl.destroyContext, "eglDestroyContext") && find(egl.makeCurrent, "eglMakeCurrent"))) {
        problem = "the installed EGL lacks its basic functions";
        return false;
    }
    egl.getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        egl.getProcAddress("eglGetPlatformDisplayEXT"));
    egl.queryDevices =
        reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(egl.getProcAddress("eglQueryDevicesEXT"));
    egl.queryDeviceString = reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(
        egl.getProcAddress("eglQueryDeviceStringEXT"));
    return true;
}

// The first device that is not a software renderer, or none.
EGLDisplay hardwareDisplay(const char* clientExtensions) {
    if (!hasExtension(clientExtensions, "EGL_EXT_platform_device") || !egl.queryDevices ||
        !egl.queryDeviceString) {
        return EGL_NO_DISPLAY;
    }
    EGLint count = 0;
    if (!egl.queryDevices(0, nullptr, &count) || count <= 0) {
        return EGL_NO_DISPLAY;
    }
    std::vector<EGLDeviceEXT> devices(size_t(count), nullptr);
    egl.queryDevices(count, devices.data(), &count);
    for (EGLDeviceEXT device : devices) {
        const char* extensions = egl.queryDeviceString(device, EGL_EXTENSIONS);
        if (!hasExtension(extensions, "EGL_MESA_device_software")) {
            return egl.getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
        }
    }
    return EGL_NO_DISPLAY;
}

EGLDisplay surfacelessDisplay(const char* clientExtensions) {
    if (!hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        return EGL_NO_DISPLAY;
    }
    return egl.getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

// A display that initialises, a GPU's first; false with `problem` set.
bool openDisplay(std::string& problem) {
    const char* clientExtensions = egl.queryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!egl.getPlatformDisplay || !hasExtension(clientExtensions, "EGL_EXT_platform_base")) {
        problem = "the installed EGL cannot open a display without a window system";
        return false;
    }
    for (EGLDisplay candidate :
         {hardwareDisplay(clientExtensions), surfacelessDisplay(clientExtensions)}) {
        EGLint major = 0, minor = 0;
        if (candidate != EGL_NO_DISPLAY && egl.initialize(candidate, &major, &minor)) {
            gDisplay = candidate;
            return true;
        }
    }
    problem = "EGL offers neither a GPU nor Mesa's surfaceless platform (on Debian: apt install "
              "libegl-mesa0)";
    return false;
}

bool createContext(std::string& problem) {
    if (!hasExtension(egl.queryString(gDisplay, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context")) {
        problem = "EGL cannot make a context current without a surface here";
        return false;
    }
    // No surface type asked for: the context draws only into framebuffers of its own.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!egl.bindApi(EGL_OPENGL_API) ||
        !egl.chooseConfig(gDisplay, configAttributes, &config, 1, &configs) || configs < 1) {
        problem = "EGL offers no desktop OpenGL here";
        return false;
    }
    // No version asked for: the driver's highest compatibility profile, with the fixed pipeline.
    gContext = egl.createContext(gDisplay, config, EGL_NO_CONTEXT, nullptr);
    if (gContext == EGL_NO_CONTEXT ||
        !egl.makeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, gContext)) {
        problem = "EGL could not make an OpenGL context current";
        return false;
    }
    return true;
}

} // namespace

bool makeHeadlessContext(std::string& renderer, std::string& problem) {
    if (!loadEgl(problem) || !openDisplay(problem) || !createContext(problem)) {
        releaseHeadlessContext();
        return false;
    }
    const GLubyte* name = glGetString(GL_RENDERER);
    const GLubyte* version = glGetString(GL_VERSION);
    if (!name || !version) {
        problem = "the OpenGL context made through EGL does not answer";
        releaseHeadlessContext();
        return false;
    }
    renderer = std::string(reinterpret_cast<const char*>(name)) + ", OpenGL " +
               reinterpret_cast<const char*>(version);
    return true;
}

void releaseHeadlessContext() {
    if (gDisplay != EGL_NO_DISPLAY) {
        egl.makeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (gContext != EGL_NO_CONTEXT) {
            egl.destroyContext(gDisplay, gContext);
        }
        egl.terminate(gDisplay);
    }
    gContext = EGL_NO_CONTEXT;
    gDisplay = EGL_NO_DISPLAY;
    // The library stays loaded: the driver's threads may still run until the process ends.
}
