#pragma once

// A window no one sees with a template loaded, on which customer's lists are checked.

#include <sstream>
#include <string>

#include "app/default_pager.h"
#include "commands/list_check.h"
#include "commands/quiet_platform.h"
#include "files/config_file.h"
#include "files/temp_folder.h"
#include "form_fixture.h"
#include "shell/form.h"

namespace ccp::test {

struct ListFixture {
  explicit ListFixture(BuildConfig config = kE) : form(config, platform, port, clock) {
    templatePath = templateFile("template.eep", defaultPagerContents(config));
    const TemplateLoad load = loadListTemplate(form, templatePath);
    EXPECT_TRUE(load.loaded) << load.why;
    if (load.loaded) loaded = *load.loaded;
  }

  std::string templateFile(const std::string& name, const PagerContents& pager) {
    const auto bytes = configFileBytes(pager.eeprom, pager.decoder);
    const std::string path = folder.file(name);
    writeBytes(path, {bytes.begin(), bytes.end()});
    return path;
  }

  ListCheckResult check(const std::string& bytes, const ListCheckRequest& request = {}) {
    std::istringstream in(bytes);
    return checkList(in, form, platform, loaded, request);
  }

  QuietPlatform platform;
  testkit::FakePort port;
  NoWaitClock clock;
  TForm1 form;
  TempFolder folder;
  std::string templatePath;
  ListTemplate loaded;
};

}  // namespace ccp::test
