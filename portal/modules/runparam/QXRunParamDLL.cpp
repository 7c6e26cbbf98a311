// Run-parameter module. The portal starts the client with its launch
// parameters as Name=Value command-line arguments, for example
//   tovrik ServIP=127.0.0.1 ServPort=24000 AuthCookie=... SpareParam=group=1
// The name ends at the first "=" (so values may hold "="), names are matched
// without regard to letter case, and a later argument of the same name
// replaces an earlier one. Arguments without "=" are not parameters and are
// passed over. Values are kept byte for byte: cookies go to the servers
// exactly as the portal wrote them.

#include "portal/CommandLine.h"
#include "portal/PortalExports.h"
#include "portal/QXRunParam.h"

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

namespace {

using namespace tovrik::portal::runparam;

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

struct ParamStore {
  std::map<std::string, std::string, NoCaseLess> values;
};

// Splits a command-line text the way a shell would for simple cases:
// blanks separate arguments, double quotes group, a backslash before a
// quote keeps the quote.
std::vector<std::string> SplitCommandLine(const char* text) {
  std::vector<std::string> args;
  std::string current;
  bool inArgument = false, quoted = false;
  for (const char* p = text; *p; ++p) {
    if (*p == '\\' && p[1] == '"') {
      current += '"';
      ++p;
      inArgument = true;
    } else if (*p == '"') {
      quoted = !quoted;
      inArgument = true;
    } else if ((*p == ' ' || *p == '\t') && !quoted) {
      if (inArgument) args.push_back(std::move(current));
      current.clear();
      inArgument = false;
    } else {
      current += *p;
      inArgument = true;
    }
  }
  if (inArgument) args.push_back(std::move(current));
  return args;
}

unsigned Store(ParamStore& store, const std::vector<std::string>& args) {
  std::map<std::string, std::string, NoCaseLess> values;
  for (const std::string& arg : args) {
    size_t equals = arg.find('=');
    if (equals == std::string::npos) continue;
    if (equals == 0) return MODULE_ENV_INVALID_FORMAT;
    values[arg.substr(0, equals)] = arg.substr(equals + 1);
  }
  store.values = std::move(values);
  return SUCCESS;
}

}  // namespace

TOVRIK_PORTAL_EXPORT unsigned QXRunParamDLL_CreateData(void** data) {
  if (!data) return MODULE_INVALID_PARAM;
  *data = new (std::nothrow) ParamStore;
  return *data ? SUCCESS : MODULE_NOT_ENOUGH_MEM;
}

TOVRIK_PORTAL_EXPORT unsigned QXRunParamDLL_DeleteData(void* data) {
  if (!data) return MODULE_INVALID_PARAM;
  delete static_cast<ParamStore*>(data);
  return SUCCESS;
}

TOVRIK_PORTAL_EXPORT unsigned QXRunParamDLL_Load(void* data, const char* source, int flag) {
  if (!data) return MODULE_INVALID_PARAM;
  if (flag != LOAD_FROM_CMDARG) return COMMON_NOT_SUPPORT;
  auto& store = *static_cast<ParamStore*>(data);
  if (source) return Store(store, SplitCommandLine(source));
  std::vector<std::string> args = tovrik::portal::ProcessCommandLine();
  if (!args.empty()) args.erase(args.begin());  // the program itself
  return Store(store, args);
}

TOVRIK_PORTAL_EXPORT unsigned QXRunParamDLL_ExistsParam(void* data, const char* name) {
  if (!data || !name) return MODULE_INVALID_PARAM;
  const auto& values = static_cast<ParamStore*>(data)->values;
  return values.count(name) ? SUCCESS : MODULE_PARAMDATA_NOT_EXISTS;
}

// The value stays valid until the next Load or DeleteData.
TOVRIK_PORTAL_EXPORT unsigned QXRunParamDLL_GetParam(void* data, const char* name, const char** value) {
  if (!data || !name || !value) return MODULE_INVALID_PARAM;
  const auto& values = static_cast<ParamStore*>(data)->values;
  auto found = values.find(name);
  if (found == values.end()) return MODULE_PARAMDATA_NOT_EXISTS;
  *value = found->second.c_str();
  return SUCCESS;
}

// Texts for the codes this module itself returns; loader codes and the
// client's own have none here.
TOVRIK_PORTAL_EXPORT unsigned QXRunParamDLL_GetRetCodeString(unsigned code, char* out, unsigned outSize) {
  if (!out || outSize == 0) return MODULE_INVALID_PARAM;
  const char* text = nullptr;
  switch (code) {
    case COMMON_NOT_SUPPORT: text = "지원하지 않는 실행 인자 형식입니다."; break;
    case MODULE_INVALID_PARAM: text = "실행 인자 모듈에 잘못된 값이 전달되었습니다."; break;
    case MODULE_NOT_ENOUGH_MEM: text = "실행 인자를 읽을 메모리가 부족합니다."; break;
    case MODULE_ENV_INVALID_FORMAT: text = "이름이 없는 실행 인자가 있습니다."; break;
    case MODULE_PARAMDATA_NOT_EXISTS: text = "해당 이름의 실행 인자가 없습니다."; break;
    default: return MODULE_PARAMDATA_NOT_EXISTS;
  }
  if (std::strlen(text) >= outSize) return MODULE_PARAMDATA_NOTENOUGHBUFFER;
  std::snprintf(out, outSize, "%s", text);
  return SUCCESS;
}
