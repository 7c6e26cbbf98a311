#include "portal/QXRunParam.h"

#include "platform/PathResolver.h"
#include "portal/CommandLine.h"
#include "portal/PortalExports.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace tovrik::portal {
namespace fs = std::filesystem;
using namespace runparam;

namespace {

// Opens the module from $QXENV_CommonPath/Module; 0 or a loader code.
unsigned OpenRunParamLibrary(PortalLibrary& library) {
  const char* common = std::getenv("QXENV_CommonPath");
  if (!common || !*common) return LIB_NOTEXIST_ENVVAR_COMMONPATH;
  fs::path file = PortalLibraryPath(common, "Module\\QXRunParamDLL.dll");
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return LIB_DLL_NOT_EXISTS;
  return library.Load(file) ? SUCCESS : LIB_DLL_CANT_LOAD;
}

struct CodeName {
  unsigned code;
  const char* name;
};

constexpr std::array kCodeNames = std::to_array<CodeName>({
    {0, "SUCCESS"},
    {1001, "COMMON_NOT_IMPLEMENTED"},
    {1002, "COMMON_NOT_SUPPORT"},
    {2001, "LIB_NOTINIT"},
    {2002, "LIB_INVALID_PARAM"},
    {2003, "LIB_DLL_NOT_EXISTS"},
    {2005, "LIB_DLL_CANT_LOAD"},
    {2006, "LIB_DLL_NOT_LOADED"},
    {2007, "LIB_DLL_ALREADY_LOADED"},
    {2008, "LIB_DLLPROC_NOT_FOUND"},
    {2009, "LIB_NOTEXIST_ENVVAR_COMMONPATH"},
    {2010, "LIB_MISSING_PARAM"},
    {3001, "API_INVALID_PARAM"},
    {3002, "API_NOTENOUGHBUFFER"},
    {3003, "API_ENVVAR_NOTEXIST"},
    {3004, "API_ENVVAR_SET_FAIL"},
    {3101, "API_ENVVAR_NOTEXISTS"},
    {3102, "API_ENVVAR_FAIL_LOAD_DATA"},
    {3201, "API_CMDARG_GET_FAIL"},
    {3202, "API_CMDARG_INVALIDPARAM"},
    {3203, "API_CMDARG_NOTENOUGHBUFFER"},
    {3204, "API_CMDARG_OUT_OF_MEMORY"},
    {3205, "API_CMDARG_NOT_EXISTS_PARAM"},
    {3206, "API_CMDARG_RUNPROGRAM_NOT_HAVE_PATH"},
    {3207, "API_CMDARG_CURPATH_CANT_CHANGE"},
    {5001, "MODULE_INVALID_PARAM"},
    {5002, "MODULE_NOT_ENOUGH_MEM"},
    {5003, "MODULE_ALREADY_CREATED"},
    {5004, "MODULE_NOTFOUND_DATA"},
    {5005, "MODULE_ENV_INVALID_FORMAT"},
    {5006, "MODULE_CMDARGKEY_NOTEXISTS"},
    {5101, "MODULE_DATAMAP_INSERT_FAIL"},
    {5102, "MODULE_PARAMDATA_NEW_FAIL"},
    {5103, "MODULE_PARAMDATA_SETDATA_FAIL"},
    {5104, "MODULE_PARAMDATA_INSERT_FAIL"},
    {5105, "MODULE_PARAMDATA_NOT_EXISTS"},
    {5106, "MODULE_PARAMDATA_EMPTYDATA"},
    {5107, "MODULE_PARAMDATA_GETESCAPEDDATA_FAIL"},
    {5108, "MODULE_PARAMDATA_NOTENOUGHBUFFER"},
    {5109, "MODULE_PARAMDATA_SETENV_FAIL"},
    {5110, "MODULE_PARAMDATA_RUNPROGRAM_FAIL"},
    {5301, "MODULE_TDES_INIT_FAIL"},
    {5302, "MODULE_TDES_ENCRYPT_FAIL"},
    {5303, "MODULE_TDES_DECRYPT_FAIL"},
    {5304, "MODULE_TDES_NOTENOUGHBUFFER"},
    {5305, "MODULE_TDES_INVALID_DATALENGTH"},
});

}  // namespace

CQXRunParam::CQXRunParam() {
  openError_ = OpenRunParamLibrary(library_);
  if (openError_ != SUCCESS) return;
  auto create = library_.Find<QXRunParamDLL_CreateData_t>("QXRunParamDLL_CreateData");
  if (!create) {
    openError_ = LIB_DLLPROC_NOT_FOUND;
    return;
  }
  openError_ = create(&data_);
  if (openError_ != SUCCESS) data_ = nullptr;
}

CQXRunParam::~CQXRunParam() {
  if (!data_) return;
  if (auto release = library_.Find<QXRunParamDLL_DeleteData_t>("QXRunParamDLL_DeleteData")) release(data_);
}

unsigned CQXRunParam::Load(const char* source, int flag) {
  if (openError_ != SUCCESS) return openError_;
  if (!data_) return LIB_DLL_NOT_LOADED;
  auto load = library_.Find<QXRunParamDLL_Load_t>("QXRunParamDLL_Load");
  if (!load) return LIB_DLLPROC_NOT_FOUND;
  return load(data_, source, flag);
}

bool CQXRunParam::ExistsParam(std::string_view name) const {
  auto exists = library_.Find<QXRunParamDLL_ExistsParam_t>("QXRunParamDLL_ExistsParam");
  return data_ && exists && exists(data_, std::string(name).c_str()) == SUCCESS;
}

std::optional<std::string> CQXRunParam::GetParam(std::string_view name) const {
  auto get = library_.Find<QXRunParamDLL_GetParam_t>("QXRunParamDLL_GetParam");
  const char* value = nullptr;
  if (!data_ || !get || get(data_, std::string(name).c_str(), &value) != SUCCESS || !value) return std::nullopt;
  return std::string(value);
}

std::string QXRUNPARAMAPIFUNC::ConvertRetCode2String(unsigned code) {
  for (const CodeName& entry : kCodeNames)
    if (entry.code == code) return entry.name;
  return GetModuleRetCodeString(code);
}

std::string QXRUNPARAMAPIFUNC::GetModuleRetCodeString(unsigned code) {
  PortalLibrary library;
  if (OpenRunParamLibrary(library) != SUCCESS) return {};
  auto describe = library.Find<QXRunParamDLL_GetRetCodeString_t>("QXRunParamDLL_GetRetCodeString");
  std::array<char, 256> text{};
  if (!describe || describe(code, text.data(), unsigned(text.size())) != SUCCESS) return {};
  text.back() = '\0';
  return text.data();
}

unsigned QXRUNPARAMAPIFUNC_CMDARG::SetCurPathToRunFilePath() {
  std::vector<std::string> args = ProcessCommandLine();
  if (args.empty()) return SetCurPathToRunFilePath(std::nullopt);
  return SetCurPathToRunFilePath(args.front());
}

unsigned QXRUNPARAMAPIFUNC_CMDARG::SetCurPathToRunFilePath(std::optional<std::string_view> programArgument) {
  if (!programArgument || programArgument->empty()) return API_CMDARG_NOT_EXISTS_PARAM;
  size_t cut = programArgument->find_last_of("\\/");
  if (cut == std::string_view::npos) return API_CMDARG_RUNPROGRAM_NOT_HAVE_PATH;
  // "/tovrik" lives in the root folder itself.
  std::string folder(programArgument->substr(0, cut == 0 ? 1 : cut));
  fs::path resolved = platform::ResolvePath(folder);
  return ::chdir(resolved.c_str()) == 0 ? SUCCESS : API_CMDARG_CURPATH_CANT_CHANGE;
}

}  // namespace tovrik::portal
