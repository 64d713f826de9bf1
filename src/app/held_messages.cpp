#include "app/held_messages.h"

#include <utility>

CHeldMessages::CHeldMessages() : m_inner(platform::Current()) { platform::SetCurrent(this); }

CHeldMessages::~CHeldMessages() { platform::SetCurrent(&m_inner); }

std::vector<CHeldMessages::Message> CHeldMessages::Take() {
  return std::exchange(m_vecMessages, {});
}

void CHeldMessages::ShowMessage(const std::string& text, platform::MsgIcon icon) {
  m_vecMessages.push_back({text, icon});
}
