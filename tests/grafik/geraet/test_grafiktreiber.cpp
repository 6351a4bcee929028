// The OpenGL driver stays mapped after the display closes, in every test process (see
// tests/gemeinsam/treiber_halten.cpp): otherwise the exit-time leak scan loses sight of the
// driver's memory and fails the test on machines whose driver allocates once at start.
#include <gtest/gtest.h>
#include <link.h>

#include <GLFW/glfw3.h>

#include <cstdlib>
#include <set>
#include <string>

#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

namespace {

std::set<std::string> GeladeneBibliotheken() {
  std::set<std::string> namen;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* daten) {
        if (info->dlpi_name && info->dlpi_name[0])
          static_cast<std::set<std::string>*>(daten)->insert(info->dlpi_name);
        return 0;
      },
      &namen);
  return namen;
}

TEST(Grafiktreiber, BleibtNachDemSchliessenDerAnzeigeGeladen) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  const std::set<std::string> vorher = GeladeneBibliotheken();
  ASSERT_TRUE(glfwInit());
  GLFWwindow* fenster = OeffneVerstecktesFenster(16, 16, 3, 3);
  ASSERT_NE(fenster, nullptr);
  std::set<std::string> neu;
  for (const std::string& name : GeladeneBibliotheken())
    if (!vorher.count(name)) neu.insert(name);
  // The window system loads its GL library and the driver only when the context is made.
  ASSERT_FALSE(neu.empty());
  glfwDestroyWindow(fenster);
  glfwTerminate();
  const std::set<std::string> nachher = GeladeneBibliotheken();
  for (const std::string& name : neu) EXPECT_TRUE(nachher.count(name)) << name << " was unloaded";
}

}  // namespace
