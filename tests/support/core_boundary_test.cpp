#include <gtest/gtest.h>
#include <link.h>
#include <string>
#include <vector>

// The core (model, reader, analysis, plotting, table, export) is plain C++:
// a test program that links only the core loads no Qt library.
TEST(CoreBoundary, CoreLoadsNoQt) {
  std::vector<std::string> loaded;
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* names) {
        static_cast<std::vector<std::string>*>(names)->emplace_back(info->dlpi_name ? info->dlpi_name : "");
        return 0;
      },
      &loaded);
  ASSERT_GT(loaded.size(), 1u);
  for (const std::string& name : loaded) EXPECT_EQ(name.find("Qt"), std::string::npos) << name;
}
