// The built-in keyword table: operators, statement words, functions with
// their argument descriptors and the "@" constants, in ascending byte order
// of their names. A keyword's code is its position. Tokenizer, dispatcher
// and tests all read this one table.
//
// ORDER KEYWORDS: entries stay sorted by name bytes and each index equals
// its position; the tokenizer checks both when it builds its index.
#pragma once

#include <cstdint>
#include <string_view>

#include "tarnproc.h"

namespace tarn {

inline constexpr int kKeywordCount = 483;

// {index, kind, value, name length, name}
inline constexpr KeywordEntry kKeywordTable[kKeywordCount] = {
    {0, 1, 0, 1, "!"},    // logical not
    {1, 5, 0, 2, "!="},   // not equal
    {2, 0, 0, 1, "&"},    // bitwise and
    {3, 0, 0, 2, "&&"},   // logical and
    {4, 0, 0, 1, "("},    // open parenthesis
    {5, 0, 0, 1, ")"},    // close parenthesis
    {6, 0, 0, 1, "*"},    // multiply
    {7, 0, 0, 2, "**"},   // power
    {8, 1, 0, 1, "+"},    // add, unary plus
    {9, 0, 0, 1, ","},    // argument separator
    {10, 1, 0, 1, "-"},   // subtract, unary minus
    {11, 0, 0, 1, "."},   // reserved: object member mark
    {12, 0, 0, 1, "/"},   // divide
    {13, 0, 0, 1, ":"},   // label mark
    {14, 0, 0, 2, "::"},  // reserved
    {15, 5, 0, 1, "<"},   // less than
    {16, 0, 0, 2, "<<"},  // shift left
    {17, 5, 0, 2, "<="},  // less or equal
    {18, 5, 0, 2, "<>"},  // not equal
    {19, 0, 0, 1, "="},   // assignment
    {20, 5, 0, 2, "=="},  // equal
    {21, 5, 0, 1, ">"},   // greater than
    {22, 5, 0, 2, ">="},  // greater or equal
    {23, 0, 0, 2, ">>"},  // shift right
    {24, 0, 0, 1, "@"},   // object reference (dotted name)
    {25, 3, 1, 11, "@aboveicons"},
    {26, 3, 0xF0F0F008, 4, "@amc"},  // float 8
    {27, 3, 2, 8, "@arrange"},
    {28, 3, 0, 10, "@ascending"},
    {29, 3, 0xF0F0F009, 9, "@avogadro"},  // float 9
    {30, 3, 1, 9, "@backscan"},
    {31, 3, 0xF0F0F00A, 10, "@boltzmann"},  // float 10
    {32, 3, 1, 7, "@cancel"},
    {33, 3, 20, 9, "@capslock"},
    {34, 3, 2, 6, "@check"},
    {35, 3, 4, 8, "@columns"},
    {36, 3, 0xFFF0F002, 3, "@cr"},    // string 2
    {37, 3, 0xFFF0F000, 5, "@crlf"},  // string 0
    {38, 3, 1, 5, "@ctrl"},
    {39, 3, 0xF0F0F002, 8, "@deg2rad"},  // float 2
    {40, 3, 16, 11, "@descending"},
    {41, 3, 4, 8, "@disable"},
    {42, 3, 0xF0F0F001, 2, "@e"},         // float 1
    {43, 3, 0xF0F0F00B, 9, "@electric"},  // float 11
    {44, 3, 8, 7, "@enable"},
    {45, 3, 0xF0F0F00C, 7, "@eulers"},  // float 12
    {46, 3, 0, 6, "@false"},
    {47, 3, 0xF0F0F00D, 8, "@faraday"},  // float 13
    {48, 3, 8, 7, "@float8"},
    {49, 3, 0, 8, "@fwdscan"},
    {50, 3, 0xF0F0F006, 7, "@gftsec"},        // float 6
    {51, 3, 0xF0F0F007, 7, "@gmtsec"},        // float 7
    {52, 3, 0xF0F0F00E, 12, "@goldenratio"},  // float 14
    {53, 3, 0xF0F0F00F, 12, "@gravitation"},  // float 15
    {54, 3, 0xFFFFFFFF, 7, "@hidden"},
    {55, 3, 1, 5, "@icon"},
    {56, 3, 4, 8, "@lbutton"},
    {57, 3, 513, 7, "@lclick"},
    {58, 3, 515, 10, "@ldblclick"},
    {59, 3, 0xFFF0F003, 3, "@lf"},          // string 3
    {60, 3, 0xF0F0F013, 9, "@lightmps"},    // float 19
    {61, 3, 0xF0F0F010, 10, "@lightmtps"},  // float 16
    {62, 3, 0xF0F0F011, 9, "@magfield"},    // float 17
    {63, 3, 1, 6, "@major"},
    {64, 3, 16, 8, "@mbutton"},
    {65, 3, 519, 7, "@mclick"},
    {66, 3, 521, 10, "@mdblclick"},
    {67, 3, 0, 6, "@minor"},
    {68, 3, 3, 9, "@multiple"},
    {69, 3, 0, 3, "@no"},
    {70, 3, 0, 9, "@noresize"},
    {71, 3, 2, 7, "@normal"},
    {72, 3, 2, 7, "@notify"},
    {73, 3, 33, 7, "@nowait"},
    {74, 3, 144, 8, "@numlock"},
    {75, 3, 0, 4, "@off"},
    {76, 3, 1, 3, "@on"},
    {77, 3, 1, 5, "@open"},
    {78, 3, 0xF0F0F012, 7, "@parsec"},  // float 18
    {79, 3, 2, 10, "@parseonly"},
    {80, 3, 0xF0F0F000, 3, "@pi"},             // float 0
    {81, 3, 0xF0F0F005, 11, "@planckergs"},    // float 5
    {82, 3, 0xF0F0F004, 13, "@planckjoules"},  // float 4
    {83, 3, 0xF0F0F003, 8, "@rad2deg"},        // float 3
    {84, 3, 8, 8, "@rbutton"},
    {85, 3, 516, 7, "@rclick"},
    {86, 3, 518, 10, "@rdblclick"},
    {87, 3, 0x80000000, 11, "@regclasses"},
    {88, 3, 0x80000001, 11, "@regcurrent"},
    {89, 3, 0x80000002, 11, "@regmachine"},
    {90, 3, 1, 8, "@regroot"},
    {91, 3, 0x80000003, 9, "@regusers"},
    {92, 3, 3, 5, "@rows"},
    {93, 3, 0, 5, "@save"},
    {94, 3, 145, 11, "@scrolllock"},
    {95, 3, 2, 6, "@shift"},
    {96, 3, 2, 7, "@single"},
    {97, 3, 1, 7, "@sorted"},
    {98, 3, 1, 6, "@stack"},
    {99, 3, 0, 7, "@string"},
    {100, 3, 0xFFF0F001, 4, "@tab"},  // string 1
    {101, 3, 2, 5, "@tile"},
    {102, 3, 1, 5, "@true"},
    {103, 3, 1, 8, "@uncheck"},
    {104, 3, 0, 9, "@unsorted"},
    {105, 3, 34, 5, "@wait"},
    {106, 3, 0x000A9265, 13, "@wholesection"},
    {107, 3, 1, 6, "@word1"},
    {108, 3, 2, 6, "@word2"},
    {109, 3, 4, 6, "@word4"},
    {110, 3, 1, 4, "@yes"},
    {111, 3, 3, 7, "@zoomed"},
    {112, 0, 0, 1, "^"},                        // bitwise exclusive or
    {113, 2, 0, 5, "about"},                    // -
    {114, 2, 1, 3, "abs"},                      // i
    {115, 2, 0x01000001, 4, "acos"},            // f
    {116, 2, 0x00010001, 11, "addextender"},    // s
    {117, 2, 0x00010001, 8, "appexist"},        // s
    {118, 2, 0x00010001, 12, "appwaitclose"},   // s
    {119, 2, 0x01000001, 4, "asin"},            // f
    {120, 2, 0x000F0005, 12, "askdirectory"},   // ssssi
    {121, 2, 0x000F0005, 11, "askfilename"},    // ssssi
    {122, 2, 0x00030004, 11, "askfiletext"},    // ssii
    {123, 2, 0x00070005, 11, "askitemlist"},    // sssii
    {124, 2, 0x00070003, 7, "askline"},         // sss
    {125, 2, 0x00030002, 11, "askpassword"},    // ss
    {126, 2, 0x00030002, 8, "askyesno"},        // ss
    {127, 2, 0x01000001, 4, "atan"},            // f
    {128, 2, 100, 7, "average"},                // variadic
    {129, 4, 0, 4, "beep"},                     // command
    {130, 2, 1, 11, "binaryalloc"},             // i
    {131, 2, 5, 9, "binaryand"},                // iiiii
    {132, 2, 2, 13, "binaryclipget"},           // ii
    {133, 2, 2, 13, "binaryclipput"},           // ii
    {134, 2, 5, 13, "binarycompare"},           // iiiii
    {135, 2, 5, 13, "binaryconvert"},           // iiiii
    {136, 2, 5, 10, "binarycopy"},              // iiiii
    {137, 2, 1, 12, "binaryeodget"},            // i
    {138, 2, 2, 12, "binaryeodset"},            // ii
    {139, 2, 1, 10, "binaryfree"},              // i
    {140, 2, 0x00100005, 13, "binaryhashrec"},  // iiiis
    {141, 2, 2, 10, "binaryincr"},              // ii
    {142, 2, 2, 11, "binaryincr2"},             // ii
    {143, 2, 2, 11, "binaryincr4"},             // ii
    {144, 2, 2, 13, "binaryincrflt"},           // ii
    {145, 2, 0x00040004, 11, "binaryindex"},    // iisi
    {146, 2, 0x00040005, 13, "binaryindexex"},  // iisii
    {147, 2, 0x00040004, 13, "binaryindexnc"},  // iisi
    {148, 2, 5, 13, "binaryoletype"},           // iiiii
    {149, 2, 5, 8, "binaryor"},                 // iiiii
    {150, 2, 2, 10, "binarypeek"},              // ii
    {151, 2, 2, 11, "binarypeek2"},             // ii
    {152, 2, 2, 11, "binarypeek4"},             // ii
    {153, 2, 2, 13, "binarypeekflt"},           // ii
    {154, 2, 3, 13, "binarypeekstr"},           // iii
    {155, 2, 3, 10, "binarypoke"},              // iii
    {156, 2, 3, 11, "binarypoke2"},             // iii
    {157, 2, 3, 11, "binarypoke4"},             // iii
    {158, 2, 0x04000003, 13, "binarypokeflt"},  // iif
    {159, 2, 0x00040003, 13, "binarypokestr"},  // iis
    {160, 2, 0x00020002, 10, "binaryread"},     // is
    {161, 2, 0x00040005, 12, "binaryreadex"},   // iisii
    {162, 2, 5, 10, "binarysort"},              // iiiii
    {163, 2, 0x00080004, 12, "binarystrcnt"},   // iiis
    {164, 2, 0x00010002, 13, "binarytagextr"},  // si
    {165, 2, 0x00010001, 13, "binarytagfind"},  // s
    {166, 2, 0x00060003, 13, "binarytaginit"},  // iss
    {167, 2, 0x00030002, 13, "binarytagrepl"},  // ss
    {168, 2, 0x00020002, 11, "binarywrite"},    // is
    {169, 2, 0x00040005, 13, "binarywriteex"},  // iisii
    {170, 2, 5, 9, "binaryxor"},                // iiiii
    {171, 8, 0, 5, "break"},                    // structure
    {172, 2, 0x00030002, 11, "buttonnames"},    // ss
    {173, 0, 0, 2, "by"},                       // step of for
    {174, 2, 0x00030002, 4, "call"},            // ss
    {175, 2, 0x00030002, 7, "callext"},         // ss
    {176, 8, 0, 4, "case"},                     // structure
    {177, 2, 0x01000001, 7, "ceiling"},         // f
    {178, 2, 0x00010001, 8, "char2num"},        // s
    {179, 2, 0x00010001, 10, "clipappend"},     // s
    {180, 2, 0, 7, "clipget"},                  // -
    {181, 2, 1, 9, "clipgetex"},                // i
    {182, 2, 0x00010001, 7, "clipput"},         // s
    {183, 8, 0, 8, "continue"},                 // structure
    {184, 2, 0x01000001, 3, "cos"},             // f
    {185, 2, 0x01000001, 4, "cosh"},            // f
    {186, 2, 0, 8, "datetime"},                 // -
    {187, 2, 0x00020002, 10, "ddeexecute"},     // is
    {188, 2, 0x00030002, 11, "ddeinitiate"},    // ss
    {189, 2, 0x00060003, 7, "ddepoke"},         // iss
    {190, 2, 0x00020002, 10, "dderequest"},     // is
    {191, 2, 1, 12, "ddeterminate"},            // i
    {192, 2, 1, 10, "ddetimeout"},              // i
    {193, 2, 1, 5, "debug"},                    // i
    {194, 2, 0x00030002, 9, "debugdata"},       // ss
    {195, 2, 1, 8, "decimals"},                 // i
    {196, 2, 0x01000001, 5, "delay"},           // f
    {197, 2, 0x00010001, 6, "dialog"},          // s
    {198, 2, 0x00030002, 9, "dialogbox"},       // ss
    {199, 2, 0x00010001, 10, "dirattrget"},     // s
    {200, 2, 0x00030002, 10, "dirattrset"},     // ss
    {201, 2, 0x00010001, 9, "dirchange"},       // s
    {202, 2, 0x00010001, 8, "direxist"},        // s
    {203, 2, 0, 6, "dirget"},                   // -
    {204, 2, 0, 7, "dirhome"},                  // -
    {205, 2, 0x00010001, 10, "diritemize"},     // s
    {206, 2, 0x00010001, 7, "dirmake"},         // s
    {207, 2, 0x00010001, 9, "dirremove"},       // s
    {208, 2, 0x00030002, 9, "dirrename"},       // ss
    {209, 2, 0x00010002, 7, "dirsize"},         // si
    {210, 2, 1, 10, "dirwindows"},              // i
    {211, 2, 0x00010001, 9, "diskexist"},       // s
    {212, 2, 0x00010001, 8, "diskfree"},        // s
    {213, 2, 0x00010002, 8, "diskinfo"},        // si
    {214, 2, 1, 8, "diskscan"},                 // i
    {215, 2, 0x00010001, 8, "disksize"},        // s
    {216, 2, 0x00010002, 11, "diskvolinfo"},    // si
    {217, 2, 0x00060003, 7, "display"},         // iss
    {218, 2, 0x00010064, 7, "dllcall"},         // variadic, first argument string
    {219, 2, 0x00010001, 7, "dllfree"},         // s
    {220, 2, 0x00010001, 8, "dllhinst"},        // s
    {221, 2, 0x00010001, 7, "dllhwnd"},         // s
    {222, 2, 0x00010001, 7, "dllload"},         // s
    {223, 2, 1, 10, "dosversion"},              // i
    {224, 6, 100, 4, "drop"},                   // names of variables
    {225, 8, 0, 4, "else"},                     // structure
    {226, 8, 0, 3, "end"},                      // structure
    {227, 8, 0, 6, "endfor"},                   // structure
    {228, 8, 0, 5, "endif"},                    // structure
    {229, 8, 0, 9, "endselect"},                // structure
    {230, 2, 0, 10, "endsession"},              // -
    {231, 8, 0, 9, "endswitch"},                // structure
    {232, 8, 0, 8, "endwhile"},                 // structure
    {233, 2, 0x00010001, 11, "environment"},    // s
    {234, 2, 0x00030002, 10, "environset"},     // ss
    {235, 2, 0, 10, "envitemize"},              // -
    {236, 2, 1, 9, "errormode"},                // i
    {237, 2, 1, 9, "exclusive"},                // i
    {238, 4, 0, 7, "execute"},                  // command
    {239, 2, 0x00010001, 11, "exetypeinfo"},    // s
    {240, 4, 0, 4, "exit"},                     // command
    {241, 2, 0x01000001, 3, "exp"},             // f
    {242, 2, 0x01000001, 4, "fabs"},            // f
    {243, 2, 0x00030002, 10, "fileappend"},     // ss
    {244, 2, 0x00010001, 11, "fileattrget"},    // s
    {245, 2, 0x00030002, 11, "fileattrset"},    // ss
    {246, 2, 1, 9, "fileclose"},                // i
    {247, 2, 0x00030002, 11, "filecompare"},    // ss
    {248, 2, 0x00030003, 8, "filecopy"},        // ssi
    {249, 2, 0x00010001, 10, "filedelete"},     // s
    {250, 2, 0x00010001, 9, "fileexist"},       // s
    {251, 2, 0x00010001, 13, "fileextension"},  // s
    {252, 2, 0x00010001, 12, "filefullname"},   // s
    {253, 2, 0x00010001, 11, "fileitemize"},    // s
    {254, 2, 0x00010001, 10, "filelocate"},     // s
    {255, 2, 0x00030002, 11, "filemapname"},    // ss
    {256, 2, 0x00030003, 8, "filemove"},        // ssi
    {257, 2, 0x00010001, 13, "filenameeval1"},  // s
    {258, 2, 0x00030002, 13, "filenameeval2"},  // ss
    {259, 2, 0x00010001, 12, "filenamelong"},   // s
    {260, 2, 0x00010001, 13, "filenameshort"},  // s
    {261, 2, 0x00030002, 8, "fileopen"},        // ss
    {262, 2, 0x00010001, 8, "filepath"},        // s
    {263, 2, 1, 8, "fileread"},                 // i
    {264, 2, 0x00030002, 10, "filerename"},     // ss
    {265, 2, 0x00010001, 8, "fileroot"},        // s
    {266, 2, 0x00010001, 8, "filesize"},        // s
    {267, 2, 0x00010001, 12, "filetimecode"},   // s
    {268, 2, 0x00010001, 11, "filetimeget"},    // s
    {269, 2, 0x00010002, 13, "filetimegetex"},  // si
    {270, 2, 0x00030002, 11, "filetimeset"},    // ss
    {271, 2, 0x00030003, 13, "filetimesetex"},  // ssi
    {272, 2, 0x00010001, 13, "filetimetouch"},  // s
    {273, 2, 0x00070003, 11, "fileverinfo"},    // sss
    {274, 2, 0x00020002, 9, "filewrite"},       // is
    {275, 2, 0x00010001, 10, "fileymdhms"},     // s
    {276, 2, 0x00010001, 10, "findwindow"},     // s
    {277, 2, 0x01000001, 5, "floor"},           // f
    {278, 8, 0, 3, "for"},                      // structure
    {279, 2, 0, 12, "getexacttime"},            // -
    {280, 2, 0, 12, "gettickcount"},            // -
    {281, 8, 0, 5, "gosub"},                    // structure
    {282, 4, 0, 4, "goto"},                     // command
    {283, 2, 0, 11, "iconarrange"},             // -
    {284, 2, 0x00030002, 11, "iconreplace"},    // ss
    {285, 8, 0, 2, "if"},                       // structure
    {286, 2, 1, 11, "ignoreinput"},             // i
    {287, 2, 0x00030002, 9, "inidelete"},       // ss
    {288, 2, 0x00070003, 12, "inideletepvt"},   // sss
    {289, 2, 0x00010001, 10, "iniitemize"},     // s
    {290, 2, 0x00030002, 13, "iniitemizepvt"},  // ss
    {291, 2, 0x00070003, 7, "iniread"},         // sss
    {292, 2, 0x000F0004, 10, "inireadpvt"},     // ssss
    {293, 2, 0x00070003, 8, "iniwrite"},        // sss
    {294, 2, 0x000F0004, 11, "iniwritepvt"},    // ssss
    {295, 2, 0x00070005, 11, "installfile"},    // sssii
    {296, 2, 1, 3, "int"},                      // i
    {297, 2, 0x001E0005, 10, "intcontrol"},     // issss
    {298, 6, 1, 9, "isdefined"},                // name of a variable
    {299, 2, 0x00010001, 7, "isfloat"},         // s
    {300, 2, 0x00010001, 5, "isint"},           // s
    {301, 2, 1, 9, "iskeydown"},                // i
    {302, 2, 0x00010001, 8, "isnumber"},        // s
    {303, 2, 0x00030002, 9, "itemcount"},       // ss
    {304, 2, 0x00060003, 11, "itemextract"},    // iss
    {305, 2, 0x000D0004, 10, "iteminsert"},     // siss
    {306, 2, 0x00070003, 10, "itemlocate"},     // sss
    {307, 2, 0x00060003, 10, "itemremove"},     // iss
    {308, 2, 0x00070003, 10, "itemselect"},     // sss
    {309, 2, 0x00030002, 8, "itemsort"},        // ss
    {310, 2, 0x00030002, 10, "itemsortnc"},     // ss
    {311, 2, 1, 12, "keytoggleget"},            // i
    {312, 2, 2, 12, "keytoggleset"},            // ii
    {313, 2, 0, 9, "lasterror"},                // -
    {314, 2, 0x01000001, 5, "log10"},           // f
    {315, 2, 0x00010001, 7, "logdisk"},         // s
    {316, 2, 0x01000001, 4, "loge"},            // f
    {317, 2, 100, 3, "max"},                    // variadic
    {318, 2, 0x00030002, 7, "message"},         // ss
    {319, 2, 100, 3, "min"},                    // variadic
    {320, 0, 0, 3, "mod"},                      // remainder
    {321, 2, 2, 10, "mouseclick"},              // ii
    {322, 2, 0x00070003, 13, "mouseclickbtn"},  // sss
    {323, 2, 0x000C0005, 9, "mousedrag"},       // iissi
    {324, 2, 1, 9, "mouseinfo"},                // i
    {325, 2, 0x000C0004, 9, "mousemove"},       // iiss
    {326, 2, 0x00010001, 10, "msgtextget"},     // s
    {327, 2, 1, 7, "netinfo"},                  // i
    {328, 8, 0, 4, "next"},                     // structure
    {329, 2, 1, 8, "num2char"},                 // i
    {330, 2, 0x00010002, 12, "objectaccess"},   // si
    {331, 2, 1, 11, "objectclose"},             // i
    {332, 2, 0x00010001, 10, "objectopen"},     // s
    {333, 2, 0x00010001, 9, "parsedata"},       // s
    {334, 2, 0x00030002, 5, "pause"},           // ss
    {335, 2, 0x00010001, 9, "playmedia"},       // s
    {336, 2, 0x00010002, 8, "playmidi"},        // si
    {337, 2, 0x00010002, 12, "playwaveform"},   // si
    {338, 2, 0x00030004, 5, "print"},           // ssii
    {339, 2, 1, 6, "random"},                   // i
    {340, 2, 0x00030002, 6, "regapp"},          // ss
    {341, 2, 1, 11, "regclosekey"},             // i
    {342, 2, 0x00010002, 10, "regconnect"},     // si
    {343, 2, 0x00020002, 12, "regcreatekey"},   // is
    {344, 2, 0x00020002, 12, "regdeletekey"},   // is
    {345, 2, 0x00020002, 11, "regdelvalue"},    // is
    {346, 2, 0x00020002, 12, "regentrytype"},   // is
    {347, 2, 0x00020002, 11, "regexistkey"},    // is
    {348, 2, 0x00020002, 13, "regexistvalue"},  // is
    {349, 2, 0x00060003, 11, "regloadhive"},    // iss
    {350, 2, 0x00020002, 10, "regopenkey"},     // is
    {351, 2, 0x00020002, 11, "regquerybin"},    // is
    {352, 2, 0x00020002, 13, "regquerydword"},  // is
    {353, 2, 0x00060004, 10, "regqueryex"},     // issi
    {354, 2, 0x00020002, 13, "regqueryexpsz"},  // is
    {355, 2, 0x00020002, 12, "regqueryitem"},   // is
    {356, 2, 2, 11, "regquerykey"},             // ii
    {357, 2, 1, 12, "regquerykeys"},            // i
    {358, 2, 0x00060003, 13, "regquerymulsz"},  // iss
    {359, 2, 0x00020002, 13, "regqueryvalue"},  // is
    {360, 2, 0x00060003, 9, "regsetbin"},       // iss
    {361, 2, 0x00060003, 11, "regsetdword"},    // iss
    {362, 2, 0x000E0005, 8, "regsetex"},        // isssi
    {363, 2, 0x00060003, 11, "regsetexpsz"},    // iss
    {364, 2, 0x000E0004, 11, "regsetmulsz"},    // isss
    {365, 2, 0x00060003, 11, "regsetvalue"},    // iss
    {366, 2, 0x00020002, 13, "regunloadhive"},  // is
    {367, 8, 0, 6, "return"},                   // structure
    {368, 2, 0x00030002, 3, "run"},             // ss
    {369, 2, 0x00030004, 10, "runenviron"},     // ssii
    {370, 2, 0x00030002, 7, "runexit"},         // ss
    {371, 2, 0x00030002, 7, "runhide"},         // ss
    {372, 2, 0x00030002, 11, "runhidewait"},    // ss
    {373, 2, 0x00030002, 7, "runicon"},         // ss
    {374, 2, 0x00030002, 11, "runiconwait"},    // ss
    {375, 2, 0x00070005, 8, "runshell"},        // sssii
    {376, 2, 0x00030002, 7, "runwait"},         // ss
    {377, 2, 0x00030002, 7, "runzoom"},         // ss
    {378, 2, 0x00030002, 11, "runzoomwait"},    // ss
    {379, 8, 0, 6, "select"},                   // structure
    {380, 2, 0x00010001, 7, "sendkey"},         // s
    {381, 2, 0x00070003, 13, "sendkeyschild"},  // sss
    {382, 2, 0x00030002, 10, "sendkeysto"},     // ss
    {383, 2, 0x00030002, 11, "sendmenusto"},    // ss
    {384, 2, 0x00070005, 13, "sendmenustoex"},  // sssii
    {385, 2, 0x00170005, 12, "shellexecute"},   // sssis
    {386, 2, 0x00010001, 11, "shortcutdir"},    // s
    {387, 2, 0x000F0005, 12, "shortcutedit"},   // ssssi
    {388, 2, 0x000F0005, 13, "shortcutextra"},  // ssssi
    {389, 2, 0x00010001, 12, "shortcutinfo"},   // s
    {390, 2, 0x000F0005, 12, "shortcutmake"},   // ssssi
    {391, 2, 0x01000001, 3, "sin"},             // f
    {392, 2, 0x01000001, 4, "sinh"},            // f
    {393, 2, 1, 8, "snapshot"},                 // i
    {394, 2, 1, 6, "sounds"},                   // i
    {395, 2, 0x01000001, 4, "sqrt"},            // f
    {396, 2, 0x00010064, 6, "strcat"},          // variadic, first argument string
    {397, 2, 0x00010001, 12, "strcharcount"},   // s
    {398, 2, 0x00030002, 6, "strcmp"},          // ss
    {399, 2, 0x00010002, 7, "strfill"},         // si
    {400, 2, 0x00030003, 6, "strfix"},          // ssi
    {401, 2, 0x00030003, 11, "strfixchars"},    // ssi
    {402, 2, 0x00030003, 12, "strfixcharsl"},   // ssi
    {403, 2, 0x00030003, 10, "strfixleft"},     // ssi
    {404, 2, 0x00030002, 7, "stricmp"},         // ss
    {405, 2, 0x00030004, 8, "strindex"},        // ssii
    {406, 2, 0x00030004, 10, "strindexnc"},     // ssii
    {407, 2, 0x00030003, 12, "strindexwild"},   // ssi
    {408, 2, 0x00010001, 6, "strlen"},          // s
    {409, 2, 0x00030003, 10, "strlenwild"},     // ssi
    {410, 2, 0x00010001, 8, "strlower"},        // s
    {411, 2, 0x00070003, 10, "strreplace"},     // sss
    {412, 2, 0x00030004, 7, "strscan"},         // ssii
    {413, 2, 0x00010003, 6, "strsub"},          // sii
    {414, 2, 0x00030003, 10, "strsubwild"},     // ssi
    {415, 2, 0x00010001, 7, "strtrim"},         // s
    {416, 2, 0x00010001, 8, "strupper"},        // s
    {417, 8, 0, 6, "switch"},                   // structure
    {418, 2, 0x01000001, 3, "tan"},             // f
    {419, 2, 0x01000001, 4, "tanh"},            // f
    {420, 2, 0x00060003, 9, "terminate"},       // iss
    {421, 2, 0x00030002, 7, "textbox"},         // ss
    {422, 2, 0x00030002, 11, "textboxsort"},    // ss
    {423, 2, 0x00070003, 10, "textselect"},     // sss
    {424, 8, 0, 4, "then"},                     // structure
    {425, 2, 0x00030002, 7, "timeadd"},         // ss
    {426, 2, 0, 8, "timedate"},                 // -
    {427, 2, 0x01000001, 9, "timedelay"},       // f
    {428, 2, 0x00030002, 12, "timediffdays"},   // ss
    {429, 2, 0x00030002, 12, "timediffsecs"},   // ss
    {430, 2, 0x00010001, 13, "timejulianday"},  // s
    {431, 2, 1, 12, "timejultoymd"},            // i
    {432, 2, 0x00030002, 12, "timesubtract"},   // ss
    {433, 2, 0x00010001, 8, "timewait"},        // s
    {434, 2, 0, 10, "timeymdhms"},              // -
    {435, 8, 0, 2, "to"},                       // structure
    {436, 2, 0, 7, "version"},                  // -
    {437, 2, 0, 10, "versiondll"},              // -
    {438, 2, 0x001F0005, 10, "waitforkey"},     // sssss
    {439, 2, 0x00010002, 9, "wallpaper"},       // si
    {440, 8, 0, 5, "while"},                    // structure
    {441, 2, 0x00010001, 11, "winactivate"},    // s
    {442, 2, 0x00030002, 13, "winactivchild"},  // ss
    {443, 2, 0x00010001, 10, "winarrange"},     // s
    {444, 2, 0x00010001, 8, "winclose"},        // s
    {445, 2, 0x00010064, 11, "winclosenot"},    // variadic, first argument string
    {446, 2, 0, 9, "winconfig"},                // -
    {447, 2, 0x00010001, 10, "winexename"},     // s
    {448, 2, 0x00010001, 8, "winexist"},        // s
    {449, 2, 0x00030002, 13, "winexistchild"},  // ss
    {450, 2, 0, 12, "wingetactive"},            // -
    {451, 2, 0x00070003, 7, "winhelp"},         // sss
    {452, 2, 0x00010001, 7, "winhide"},         // s
    {453, 2, 0x00010001, 10, "winiconize"},     // s
    {454, 2, 0x00010001, 8, "winidget"},        // s
    {455, 2, 0x00010001, 8, "winisdos"},        // s
    {456, 2, 0x00010001, 12, "winitemchild"},   // s
    {457, 2, 0, 10, "winitemize"},              // -
    {458, 2, 0x00010003, 12, "winitemizeex"},   // sii
    {459, 2, 0, 13, "winitemnameid"},           // -
    {460, 2, 1, 10, "winmetrics"},              // i
    {461, 2, 0, 7, "winname"},                  // -
    {462, 2, 1, 10, "winparmget"},              // i
    {463, 2, 0x00020003, 10, "winparmset"},     // isi
    {464, 2, 0x00100005, 8, "winplace"},        // iiiis
    {465, 2, 0x00020002, 11, "winplaceget"},    // is
    {466, 2, 0x00060003, 11, "winplaceset"},    // iss
    {467, 2, 0x00010001, 11, "winposition"},    // s
    {468, 2, 1, 12, "winresources"},            // i
    {469, 2, 0x00010001, 7, "winshow"},         // s
    {470, 2, 0x00010001, 8, "winstate"},        // s
    {471, 2, 0, 10, "winsysinfo"},              // -
    {472, 2, 0x00030002, 8, "wintitle"},        // ss
    {473, 2, 1, 10, "winversion"},              // i
    {474, 2, 0x00030003, 12, "winwaitchild"},   // ssi
    {475, 2, 0x00010001, 12, "winwaitclose"},   // s
    {476, 2, 0x00010002, 12, "winwaitexist"},   // si
    {477, 2, 0x00010001, 7, "winzoom"},         // s
    {478, 4, 0, 5, "yield"},                    // command
    {479, 2, 1, 6, "yields"},                   // i
    {480, 0, 0, 1, "|"},                        // bitwise or
    {481, 0, 0, 2, "||"},                       // logical or
    {482, 1, 0, 1, "~"},                        // bitwise not
};

// ORDER KEYWORDS over any table (tests feed broken ones): 0 when names
// ascend by bytes and every index equals its position, 1 order, 2 index.
constexpr int CheckKeywordTable(const KeywordEntry* table, int count) {
    for (int i = 1; i < count; ++i) {
        const KeywordEntry& a = table[i - 1];
        const KeywordEntry& b = table[i];
        int order = 0;
        for (std::size_t k = 0; k < sizeof a.name && order == 0; ++k)
            order = static_cast<unsigned char>(a.name[k]) - static_cast<unsigned char>(b.name[k]);
        if (order >= 0) return 1;
    }
    for (int i = 0; i < count; ++i)
        if (table[i].index != i) return 2;
    return 0;
}
static_assert(CheckKeywordTable(kKeywordTable, kKeywordCount) == 0, "ORDER KEYWORDS");

// Code of a built-in keyword by its exact (lower-case) name, -1 if none.
constexpr int KeywordCode(std::string_view name) {
    int lo = 0, hi = kKeywordCount - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const std::string_view n(kKeywordTable[mid].name, static_cast<std::size_t>(kKeywordTable[mid].name_length));
        if (n == name) return mid;
        // Byte order: compare as unsigned characters.
        bool less = false;
        std::size_t i = 0;
        for (; i < n.size() && i < name.size(); ++i) {
            if (n[i] != name[i]) {
                less = static_cast<unsigned char>(n[i]) < static_cast<unsigned char>(name[i]);
                break;
            }
        }
        if (i == n.size() || i == name.size()) less = n.size() < name.size();
        if (less) lo = mid + 1;
        else hi = mid - 1;
    }
    return -1;
}

// Codes the interpreter itself refers to; resolved at compile time so a
// misspelt or missing name fails the build.
namespace kw {
#define TARN_KW(id, text)                        \
    inline constexpr int id = KeywordCode(text); \
    static_assert(id >= 0, text)
TARN_KW(Not, "!");
TARN_KW(NotEqual, "!=");
TARN_KW(BitAnd, "&");
TARN_KW(And, "&&");
TARN_KW(Open, "(");
TARN_KW(Close, ")");
TARN_KW(Mul, "*");
TARN_KW(Pow, "**");
TARN_KW(Plus, "+");
TARN_KW(Comma, ",");
TARN_KW(Minus, "-");
TARN_KW(Div, "/");
TARN_KW(Colon, ":");
TARN_KW(Less, "<");
TARN_KW(Shl, "<<");
TARN_KW(LessEq, "<=");
TARN_KW(NotEqual2, "<>");
TARN_KW(Assign, "=");
TARN_KW(Equal, "==");
TARN_KW(Greater, ">");
TARN_KW(GreaterEq, ">=");
TARN_KW(Shr, ">>");
TARN_KW(Object, "@");
TARN_KW(Xor, "^");
TARN_KW(Mod, "mod");
TARN_KW(BitNot, "~");
TARN_KW(By, "by");
TARN_KW(BitOr, "|");
TARN_KW(Or, "||");
TARN_KW(Beep, "beep");
TARN_KW(Execute, "execute");
TARN_KW(Exit, "exit");
TARN_KW(Goto, "goto");
TARN_KW(Yield, "yield");
TARN_KW(If, "if");
TARN_KW(Then, "then");
TARN_KW(Else, "else");
TARN_KW(Endif, "endif");
TARN_KW(While, "while");
TARN_KW(Endwhile, "endwhile");
TARN_KW(For, "for");
TARN_KW(To, "to");
TARN_KW(Next, "next");
TARN_KW(Endfor, "endfor");
TARN_KW(Switch, "switch");
TARN_KW(Select, "select");
TARN_KW(Case, "case");
TARN_KW(Break, "break");
TARN_KW(Continue, "continue");
TARN_KW(Endswitch, "endswitch");
TARN_KW(Endselect, "endselect");
TARN_KW(End, "end");
TARN_KW(Gosub, "gosub");
TARN_KW(Return, "return");
TARN_KW(Drop, "drop");
TARN_KW(IsDefined, "isdefined");
TARN_KW(Call, "call");
#undef TARN_KW
}  // namespace kw

static_assert(kw::Object == 24, "dotted object references carry code 24");

// Descriptor helpers.
constexpr int ArgCount(std::uint32_t value) { return static_cast<int>(value & 0xFFFF); }
constexpr bool ArgIsString(std::uint32_t value, int i) { return i < 8 && (value >> (16 + i)) & 1; }
constexpr bool ArgIsFloat(std::uint32_t value, int i) { return i < 8 && (value >> (24 + i)) & 1; }

// Host table codes 900.., extender codes 3000...
inline constexpr int kHostCodeBase = 900;
inline constexpr int kHostCodeLimit = 1899;
inline constexpr int kExtenderCodeBase = 3000;
inline constexpr int kExtenderMax = 200;

// The entry of any code (built-in, host or extender) in this context, or null.
const KeywordEntry* KeywordOf(const ScriptContext* ctx, int code);

}  // namespace tarn
