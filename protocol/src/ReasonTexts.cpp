#include "protocol/ReasonTexts.h"

namespace tovrik::protocol {

std::optional<std::string_view> EnterChanResultText(std::int32_t result)
{
    if (result >= 0 || result < -99) return std::nullopt;
    switch (result) {
    case -1: return "요청한 채널은 최대 수용인원을 초과하였습니다.";
    case -2: return "잘못된 사용자 정보로 인하여 채널에 입장할 수 없습니다.";
    case -3: return "요청한 채널 번호가 올바르지 않습니다.";
    case -4: return "입장 가능한 등급이 아닙니다";
    case -5: return "점검중인 채널이므로 입장할 수 없습니다.";
    default: return "채널에 입장할 수 없습니다.";
    }
}

std::string_view EnterRoomRefusalText(std::int32_t code)
{
    switch (code) {
    case 1: return "[알림] 방 정보가 잘못되어 입장할 수 없습니다";
    case 2: return "[알림] 요청하신 방은 존재하지 않습니다";
    case 3: return "[알림] 이미 게임이 진행중입니다";
    case 4: return "[알림] 최대 인원이 초과되었습니다";
    case 5: return "[알림] 이미 입장되어 있는 아이디입니다";
    case 6: return "[알림] 비밀번호가 틀렸습니다";
    case 7: return "[알림] 요청인이 잘못된 아이디입니다. 재접속 바랍니다";
    case 8: return "[알림] 방장이 존재하지 않습니다";
    case 9: return "[알림] 현재 가진 머니로는 게임을 진행하기에 부족하여 입장할 수 없습니다";
    case 10: return "[알림] 레벨이 낮아서 요청한 방에 입장할 수 없습니다.";
    case 11: return "[알림] 자신의 레벨 보다 높은 방은 입장할 수 없습니다";
    case 16: return "[알림] 중복된 PC가 존재하여 입장할 수 없습니다.";
    case 20: return "[알림] 강제 추방된 방에는 다시 입장할 수 없습니다";
    default: return "[알림] 요청하신 방에 입장할 수 없습니다";
    }
}

std::optional<std::string_view> CreateRoomRefusalText(std::int32_t code)
{
    switch (code) {
    case 0: return "[서버 알림] 개설 가능한 수를 초과하였습니다";
    case 2: return "[서버 알림] 레벨이 낮습니다. 배팅액을 줄이세요.";
    case 3: return "[서버 알림] 소유한 머니가 게임을 진행하기에 부족합니다";
    case 11: return "[서버 알림] 자신의 레벨 보다 높은 방은 만들 수 없습니다";
    case 999: return std::nullopt;
    default: return "[서버 알림] 방을 생성할 수 없습니다";
    }
}

}  // namespace tovrik::protocol
