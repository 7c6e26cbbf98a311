#pragma once
// The client's side of the run-parameter module: the launch parameters the
// portal hands to this process, read through Common/Module/QXRunParamDLL.
// The module's folder comes from the environment variable QXENV_CommonPath.

#include "portal/PortalLibrary.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::portal {

// Result codes shared by the loader and the module.
namespace runparam {
inline constexpr unsigned SUCCESS = 0;
inline constexpr unsigned COMMON_NOT_SUPPORT = 1002;
inline constexpr unsigned LIB_DLL_NOT_EXISTS = 2003;
inline constexpr unsigned LIB_DLL_CANT_LOAD = 2005;
inline constexpr unsigned LIB_DLL_NOT_LOADED = 2006;
inline constexpr unsigned LIB_DLLPROC_NOT_FOUND = 2008;
inline constexpr unsigned LIB_NOTEXIST_ENVVAR_COMMONPATH = 2009;
inline constexpr unsigned LIB_MISSING_PARAM = 2010;
inline constexpr unsigned API_CMDARG_OUT_OF_MEMORY = 3204;
inline constexpr unsigned API_CMDARG_NOT_EXISTS_PARAM = 3205;
inline constexpr unsigned API_CMDARG_RUNPROGRAM_NOT_HAVE_PATH = 3206;
inline constexpr unsigned API_CMDARG_CURPATH_CANT_CHANGE = 3207;
inline constexpr unsigned MODULE_INVALID_PARAM = 5001;
inline constexpr unsigned MODULE_NOT_ENOUGH_MEM = 5002;
inline constexpr unsigned MODULE_ENV_INVALID_FORMAT = 5005;
inline constexpr unsigned MODULE_PARAMDATA_NOT_EXISTS = 5105;
inline constexpr unsigned MODULE_PARAMDATA_NOTENOUGHBUFFER = 5108;

// Load's flag: the parameters come from the command line as Name=Value
// arguments.
inline constexpr int LOAD_FROM_CMDARG = 1;
}  // namespace runparam

// The parameter store of the module; one per use.
class CQXRunParam {
 public:
  CQXRunParam();  // loads the module and creates its store
  ~CQXRunParam();
  CQXRunParam(const CQXRunParam&) = delete;
  CQXRunParam& operator=(const CQXRunParam&) = delete;

  // Reads the parameters. With no source the module finds the ones the
  // portal left for this process (its command line); a source is a command
  // line text of its own. 0 on success, else a result code.
  unsigned Load(const char* source, int flag);
  bool ExistsParam(std::string_view name) const;
  std::optional<std::string> GetParam(std::string_view name) const;

 private:
  PortalLibrary library_;
  void* data_ = nullptr;
  unsigned openError_ = runparam::SUCCESS;
};

namespace QXRUNPARAMAPIFUNC {
// The name of a result code ("LIB_MISSING_PARAM"), else the module's own
// text for it, else empty.
std::string ConvertRetCode2String(unsigned code);
// Only the module's own text for a result code, empty when it has none (or
// cannot be loaded): what a person is shown when start-up fails.
std::string GetModuleRetCodeString(unsigned code);
}  // namespace QXRUNPARAMAPIFUNC

namespace QXRUNPARAMAPIFUNC_CMDARG {
// Makes the folder of the program path (the first command-line argument,
// the part before its last "\" or "/") the current directory. 0, or 3205
// without an argument, 3206 when it holds no folder, 3207 when the folder
// cannot be entered.
unsigned SetCurPathToRunFilePath();
unsigned SetCurPathToRunFilePath(std::optional<std::string_view> programArgument);
}  // namespace QXRUNPARAMAPIFUNC_CMDARG

}  // namespace tovrik::portal
