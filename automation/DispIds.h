#pragma once

#include "platform/automation/TypeLibrary.h"

// The dispatch identifiers of the program's automation interfaces. Clients that bind early
// keep these numbers, so they never change.
namespace kelvane::dispid {

using platform::automation::DispId;

// _KnowledgeBase, in slot order.
namespace knowledgebase {
inline constexpr DispId GUID = 0x40030000;
inline constexpr DispId ApcProject = 0x4003000A;
inline constexpr DispId Pages = 0x6803001A;
inline constexpr DispId Properties = 0x68030019;
inline constexpr DispId FileName = 0x68030018;
inline constexpr DispId OpenFile = 0x6003001C;
inline constexpr DispId SaveFile = 0x6003001D;
inline constexpr DispId Layers = 0x68030015;
inline constexpr DispId Report = 0x68030014;
inline constexpr DispId Refresh = 0x60030034;
inline constexpr DispId AddLayer = 0x60030035;
inline constexpr DispId TooltipText = 0x68030013;
inline constexpr DispId BackColour = 0x68030012;
inline constexpr DispId NodeColour = 0x68030011;
inline constexpr DispId HighlightColour = 0x68030010;
inline constexpr DispId ShadowColour = 0x6803000F;
inline constexpr DispId Status = 0x6803000E;
inline constexpr DispId KBName = 0x6803000D;
inline constexpr DispId KBDescription = 0x6803000C;
inline constexpr DispId Author = 0x6803000B;
inline constexpr DispId Copyright = 0x6803000A;
inline constexpr DispId MenuItems = 0x68030009;
inline constexpr DispId ReportMenuItems = 0x68030008;
inline constexpr DispId Quit = 0x60030037;
inline constexpr DispId EditMode = 0x68030007;
inline constexpr DispId NetworkType = 0x68030006;
inline constexpr DispId CloseFile = 0x60030038;
inline constexpr DispId Visible = 0x68030005;
inline constexpr DispId AppShow = 0x60030039;
inline constexpr DispId AutoAnswer = 0x68030004;
inline constexpr DispId ShowAnswer = 0x68030003;
inline constexpr DispId ScenarioName = 0x68030002;
inline constexpr DispId ScenarioDescription = 0x68030001;
inline constexpr DispId LastModified = 0x68030000;
} // namespace knowledgebase

// __KnowledgeBase: the events, in slot order.
namespace knowledgebaseevents {
inline constexpr DispId NewDocument = 1;
inline constexpr DispId Load = 2;
inline constexpr DispId Unload = 3;
inline constexpr DispId BeforeAnswer = 4;
inline constexpr DispId BeforeQuestion = 5;
inline constexpr DispId BeforePrecondition = 6;
inline constexpr DispId AfterAnswer = 7;
inline constexpr DispId AfterQuestion = 8;
inline constexpr DispId AfterPrecondition = 9;
inline constexpr DispId MouseMove = 10;
inline constexpr DispId MouseClick = 11;
inline constexpr DispId NodeMouseMove = 12;
inline constexpr DispId NodeMouseClick = 13;
inline constexpr DispId LinkMouseMove = 14;
inline constexpr DispId LinkMouseClick = 15;
inline constexpr DispId MenuClick = 16;
} // namespace knowledgebaseevents

// _CApplication.
namespace application {
inline constexpr DispId Application = 0x68030005;
inline constexpr DispId Name = 0x68030004;
inline constexpr DispId Parent = 0x68030003;
inline constexpr DispId VBE = 0x68030002;
inline constexpr DispId KnowledgeBase = 0x68030001;
inline constexpr DispId Documents = 0x68030000;
} // namespace application

// _MenuItem.
namespace menuitem {
inline constexpr DispId cName = 0x40030000;
inline constexpr DispId Name = 0x68030000;
} // namespace menuitem

// _Collection: the ordered collection macro code creates and the object model hands out.
namespace collection {
inline constexpr DispId Item = 0; // the default member
inline constexpr DispId Add = 1;
inline constexpr DispId Count = 2;
inline constexpr DispId Remove = 3;
} // namespace collection

// Members of the model's classes: public fields from 0x40030000, properties from 0x68030000
// and methods from 0x60030000, each counted up in the order the classes declare them.
inline constexpr DispId kFirstField = 0x40030000;
inline constexpr DispId kFirstProperty = 0x68030000;
inline constexpr DispId kFirstMethod = 0x60030000;

} // namespace kelvane::dispid
