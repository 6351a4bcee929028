#pragma once
// A hidden window with a core OpenGL context, for tests and benchmarks that need a context of
// their own beside (or without) the engine's screen. No test framework needed.
struct GLFWwindow;

// A hidden window with a core context of at least the version asked for (falling back to 3.3),
// made current; nullptr when none can be opened. GLFW must be initialised.
GLFWwindow* OeffneVerstecktesFenster(int breite, int hoehe, int major = 3, int minor = 3);
