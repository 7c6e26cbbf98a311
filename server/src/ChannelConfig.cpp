#include "server/ChannelConfig.h"

// Narrow characters only: names are UTF-8 bytes, converted to code page 949 here.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "server/Cp949.h"

namespace tovrik::server {
namespace {

constexpr std::string_view kDefaultConfig = R"ini(
[Rules]
StartMoney = 10000
StartPoints = 0
MaxRoomsPerChannel = 100

[Group1]
Name = 자유

[Group2]
Name = 초보

[Channel1-1]
[Channel1-2]
[Channel1-3]
[Channel2-1]
MaxLevel = 3
[Channel2-2]
MaxLevel = 3
Item = 1
)ini";

bool ParsePair(const char* text, const char* prefix, int& first, int& second) {
  const std::string format = std::string(prefix) + "%d-%d%c";
  char extra;
  return std::sscanf(text, format.c_str(), &first, &second, &extra) == 2;
}

bool ParseOne(const char* text, const char* prefix, int& value) {
  const std::string format = std::string(prefix) + "%d%c";
  char extra;
  return std::sscanf(text, format.c_str(), &value, &extra) == 1;
}

std::chrono::milliseconds ReadMs(const CSimpleIniA& ini, const char* key, std::chrono::milliseconds fallback) {
  return std::chrono::milliseconds(ini.GetLongValue("Rules", key, static_cast<long>(fallback.count())));
}

void ReadGameRules(const CSimpleIniA& ini, GameRules& rules) {
  rules.turnTime = ReadMs(ini, "TurnMs", rules.turnTime);
  rules.turnGrace = ReadMs(ini, "TurnGraceMs", rules.turnGrace);
  rules.reportTime = ReadMs(ini, "ReportMs", rules.reportTime);
  rules.resultStoreTime = ReadMs(ini, "ResultStoreMs", rules.resultStoreTime);
  rules.gaugePerTurn = static_cast<float>(ini.GetDoubleValue("Rules", "GaugePerTurn", rules.gaugePerTurn));
  rules.gaugePerKnock = static_cast<float>(ini.GetDoubleValue("Rules", "GaugePerKnock", rules.gaugePerKnock));
  rules.winPoints = static_cast<int>(ini.GetLongValue("Rules", "WinPoints", rules.winPoints));
  rules.lossPoints = static_cast<int>(ini.GetLongValue("Rules", "LossPoints", rules.lossPoints));
  rules.plusPointBonus = static_cast<int>(ini.GetLongValue("Rules", "PlusPointBonus", rules.plusPointBonus));
}

bool CheckGameRules(const GameRules& rules, std::string& error) {
  using std::chrono::milliseconds;
  const auto inRange = [](milliseconds value, milliseconds low) { return value >= low && value <= milliseconds(600000); };
  if (!inRange(rules.turnTime, milliseconds(1)) || !inRange(rules.turnGrace, milliseconds(0)) ||
      !inRange(rules.reportTime, milliseconds(1)) || !inRange(rules.resultStoreTime, milliseconds(1))) {
    error = "[Rules] TurnMs, ReportMs and ResultStoreMs must lie in 1-600000, TurnGraceMs in 0-600000";
    return false;
  }
  if (!(rules.gaugePerTurn >= 0.0f && rules.gaugePerTurn <= kMaxGauge) ||
      !(rules.gaugePerKnock >= 0.0f && rules.gaugePerKnock <= kMaxGauge)) {
    error = "[Rules] GaugePerTurn and GaugePerKnock must lie in 0-10";
    return false;
  }
  if (rules.winPoints < 1 || rules.winPoints > 10000 || rules.lossPoints < 0 || rules.lossPoints > 10000 ||
      rules.plusPointBonus < 0 || rules.plusPointBonus > 10000) {
    error = "[Rules] WinPoints must lie in 1-10000, LossPoints and PlusPointBonus in 0-10000";
    return false;
  }
  return true;
}

}  // namespace

ChannelConfig ChannelConfig::Default(int gameServers) {
  ChannelConfig config;
  std::string ignored;
  Parse(kDefaultConfig, gameServers, config, ignored);
  return config;
}

bool ChannelConfig::Load(const std::filesystem::path& file, int gameServers, ChannelConfig& config,
                         std::string& error) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    error = "cannot read " + file.string();
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (!Parse(text.str(), gameServers, config, error)) {
    error = file.string() + ": " + error;
    return false;
  }
  return true;
}

bool ChannelConfig::Parse(std::string_view text, int gameServers, ChannelConfig& config, std::string& error) {
  CSimpleIniA ini;
  ini.SetUnicode(true);
  if (ini.LoadData(text.data(), text.size()) < 0) {
    error = "not an INI file";
    return false;
  }
  config = ChannelConfig{};
  config.rules_.startMoney = static_cast<int>(ini.GetLongValue("Rules", "StartMoney", 10000));
  config.rules_.startPoints = static_cast<int>(ini.GetLongValue("Rules", "StartPoints", 0));
  config.rules_.maxRoomsPerChannel = static_cast<int>(ini.GetLongValue("Rules", "MaxRoomsPerChannel", 100));
  ReadGameRules(ini, config.rules_.game);
  std::string_view operators = ini.GetValue("Rules", "Operators", "");
  while (!operators.empty()) {
    const std::size_t comma = operators.find(',');
    std::string_view id = operators.substr(0, comma);
    while (!id.empty() && id.front() == ' ') id.remove_prefix(1);
    while (!id.empty() && id.back() == ' ') id.remove_suffix(1);
    if (!id.empty()) config.rules_.operators.emplace_back(id);
    operators = comma == std::string_view::npos ? std::string_view() : operators.substr(comma + 1);
  }

  CSimpleIniA::TNamesDepend sections;
  ini.GetAllSections(sections);
  sections.sort(CSimpleIniA::Entry::LoadOrder());
  int channelIndex = 0;
  for (const auto& section : sections) {
    const char* name = section.pItem;
    int a = 0, b = 0;
    if (ParsePair(name, "Channel", a, b)) {
      ChannelConfigEntry channel;
      channel.groupNo = a;
      channel.chanNo = b;
      const long defaultServer = gameServers > 0 ? channelIndex % gameServers + 1 : 1;
      channel.serverNo = static_cast<int>(ini.GetLongValue(name, "Server", defaultServer));
      channel.maxUser = static_cast<int>(ini.GetLongValue(name, "MaxUser", 200));
      channel.itemChannel = ini.GetLongValue(name, "Item", 0) != 0;
      channel.closed = ini.GetLongValue(name, "Closed", 0) != 0;
      channel.minLevel = static_cast<int>(ini.GetLongValue(name, "MinLevel", 0));
      channel.maxLevel = static_cast<int>(ini.GetLongValue(name, "MaxLevel", 14));
      config.channels_.push_back(channel);
      ++channelIndex;
    } else if (ParseOne(name, "Group", a)) {
      config.groups_.push_back({a, Utf8ToCp949(ini.GetValue(name, "Name", ""))});
    } else if (ParseOne(name, "Server", a)) {
      config.servers_.push_back({a, static_cast<int>(ini.GetLongValue(name, "LoginGroup", -1))});
    } else if (std::string_view(name) != "Rules") {
      error = "unknown section [" + std::string(name) + "]";
      return false;
    }
  }
  return config.Finish(error);
}

bool ChannelConfig::Finish(std::string& error) {
  if (!CheckGameRules(rules_.game, error)) return false;
  for (auto& channel : channels_) {
    const std::string where = "[Channel" + std::to_string(channel.groupNo) + "-" + std::to_string(channel.chanNo) + "]";
    const auto group = std::find_if(groups_.begin(), groups_.end(),
                                    [&](const ChannelGroupConfig& g) { return g.groupNo == channel.groupNo; });
    if (group == groups_.end()) {
      error = where + " names a group that has no [Group" + std::to_string(channel.groupNo) + "]";
      return false;
    }
    if (channel.groupNo < 0 || channel.groupNo > 32767 || channel.chanNo < 0 || channel.chanNo > 32767) {
      error = where + " has a number outside 0-32767";
      return false;
    }
    if (channel.maxUser < 1 || channel.maxUser > kMaxChannelUsers) {
      error = where + " MaxUser must lie in 1-" + std::to_string(kMaxChannelUsers);
      return false;
    }
    if (channel.serverNo < 1) {
      error = where + " Server must be 1 or more";
      return false;
    }
    channel.name = group->name + "-" + std::to_string(channel.chanNo);
    if (channel.name.size() >= 32) {
      error = where + " makes a channel name of 32 bytes or more";
      return false;
    }
  }
  // Each room list goes out in one frame the client must be able to hold.
  if (rules_.maxRoomsPerChannel < 1 || rules_.maxRoomsPerChannel > kMaxChannelRooms) {
    error = "[Rules] MaxRoomsPerChannel must lie in 1-" + std::to_string(kMaxChannelRooms);
    return false;
  }
  if (channels_.size() > kMaxChannels) {
    error = "more than " + std::to_string(kMaxChannels) + " channels";
    return false;
  }
  for (const auto& group : groups_) {
    if (group.name.size() >= 24) {
      error = "[Group" + std::to_string(group.groupNo) + "] Name is 24 bytes or more";
      return false;
    }
  }
  return true;
}

const ChannelConfigEntry* ChannelConfig::FindChannel(int groupNo, int chanNo) const {
  for (const auto& channel : channels_) {
    if (channel.groupNo == groupNo && channel.chanNo == chanNo) return &channel;
  }
  return nullptr;
}

int ChannelConfig::LoginGroupOf(int serverNo) const {
  for (const auto& server : servers_) {
    if (server.serverNo == serverNo) return server.loginGroup;
  }
  return -1;
}

}  // namespace tovrik::server
