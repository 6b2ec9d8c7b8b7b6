// Texts of the main window, the connect buttons and the virtual reader window.
#pragma once

#include "resources/text_pair.h"

namespace rivelo {

// The text of the current language.
const char* Text(const TextPair& text);

namespace shell_text {

extern const TextPair WindowTitle;
extern const TextPair ConnectButton;
extern const TextPair DisconnectButton;
extern const TextPair TipLabel;
extern const TextPair NoDeviceConnect;
extern const TextPair DeviceConnectedText;
extern const TextPair ConnectError;
extern const TextPair PortListError;         // "Open Regedit Error", both builds
extern const TextPair PortListErrorCaption;  // "ERROR", both builds
// No reader found and a port refused for lack of permission: %1 the port, %2 the group to join.
extern const TextPair PortPermissionHint;
extern const TextPair PortPermissionNoGroup;  // no group grants access: %1 the port

extern const TextPair FileMenu;
extern const TextPair ExitItem;
extern const TextPair CardMenu;
extern const TextPair Em4100Item;
extern const TextPair T5577Item;
extern const TextPair HelpMenu;
extern const TextPair AboutItem;
extern const TextPair AboutCaption;
extern const TextPair AboutProduct;
extern const TextPair AboutOk;

// Tab captions, the same in both builds (blanks included).
extern const char* const TabAta5567;
extern const char* const TabAtaEm4100;
extern const char* const TabFdxb;
extern const char* const TabFdxa;
extern const char* const TabHid;
extern const char* const TabEm4305Em4100;
extern const char* const TabEm4305;

// The virtual reader window of the simulation mode.
extern const TextPair SimulationMenu;
extern const TextPair SimulationItem;
extern const TextPair SimWindowTitle;
extern const TextPair SimTagsBeside;
extern const TextPair SimOnReader;
extern const TextPair SimNothingOnReader;
extern const TextPair SimPlace;
extern const TextPair SimTakeOff;
extern const TextPair SimNewTag;
extern const TextPair SimKind;
extern const TextPair SimParameters;
extern const TextPair SimCreate;
extern const TextPair SimFeeder;
extern const TextPair SimCount;
extern const TextPair SimDelay;
extern const TextPair SimFeederStart;
extern const TextPair SimFeederLeft;
extern const TextPair SimBadTag;
extern const TextPair SimStartError;

}  // namespace shell_text
}  // namespace rivelo
