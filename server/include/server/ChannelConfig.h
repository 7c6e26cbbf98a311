#pragma once
// Channel groups, channels and the game servers that host them, read from an
// INI file (UTF-8). Names are kept in code page 949, as they go on the wire.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "server/GameRules.h"

namespace tovrik::server {

struct ChannelGroupConfig {
  int groupNo = 0;
  std::string name;  // code page 949
};

struct ChannelConfigEntry {
  int groupNo = 0;
  int chanNo = 0;
  int serverNo = 1;  // the game server that hosts the channel
  int maxUser = 200;
  bool itemChannel = false;
  bool closed = false;
  int minLevel = 0;
  int maxLevel = 14;
  std::string name;  // "group name-channel number", code page 949
};

struct GameServerConfig {
  int serverNo = 0;
  int loginGroup = -1;  // -1: any login group
};

// Game rules that are the server's own choice.
struct ServerRules {
  int startMoney = 10000;
  int startPoints = 0;
  int maxRoomsPerChannel = 100;
  // Login ids that may see other users' money.
  std::vector<std::string> operators;
  GameRules game;
};

class ChannelConfig {
 public:
  // A channel's user list goes out in one frame that the client must be able
  // to hold, so a channel may not be larger than this.
  static constexpr int kMaxChannelUsers = 1000;
  static constexpr int kMaxChannelRooms = 800;
  static constexpr std::size_t kMaxChannels = 2000;

  // The configuration used without a file: two groups, channels spread over
  // `gameServers` servers round robin.
  static ChannelConfig Default(int gameServers);
  // Reads a file; false with a reason for anything it cannot use.
  static bool Load(const std::filesystem::path& file, int gameServers, ChannelConfig& config, std::string& error);
  static bool Parse(std::string_view text, int gameServers, ChannelConfig& config, std::string& error);

  const std::vector<ChannelGroupConfig>& Groups() const { return groups_; }
  const std::vector<ChannelConfigEntry>& Channels() const { return channels_; }
  const ChannelConfigEntry* FindChannel(int groupNo, int chanNo) const;
  int LoginGroupOf(int serverNo) const;
  const ServerRules& Rules() const { return rules_; }

 private:
  bool Finish(std::string& error);

  std::vector<ChannelGroupConfig> groups_;
  std::vector<ChannelConfigEntry> channels_;
  std::vector<GameServerConfig> servers_;
  ServerRules rules_;
};

}  // namespace tovrik::server
