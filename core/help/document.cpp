#include "help/document.h"

#include "util/constants.h"

namespace help {

namespace {

constexpr std::string_view kTitleBefore = "Corvi I2C control utility V";
constexpr std::string_view kTitleAfter = " (Use with Corvi Tamb/Tolk I2C Master hardware)";
constexpr char kLightRuleChar = '-';

// Stand-ins for the rule lines, so the table below reads line for line like the
// document; no text line is bracketed like these.
constexpr std::string_view kHeavy = "[heavy rule]";
constexpr std::string_view kLight = "[light rule]";

// The lines after the title. Blanks are text: runs of two, and the one that
// ends the "PING HARDWARE:" paragraph. Spellings are the document's own.
// clang-format off
constexpr std::string_view kLines[] = {
    kHeavy,
    "REVISION HISTORY",
    "Date\t\tRevision\tDecscription",
    kLight,
    "2007/05/30\t2.00.06\tAllow '/' character and blank lines in scripts for comments",
    "\t\t\tAny line with these two character as the first will be ignored",
    "2006/09/01\t2.00.05\tAdded module boot messages, WDT=Stalled I2C bus",
    "\t\t\tAdded handler for aborted module frames (due to WDT)",
    "2006/04/01\t2.00.04\tAdjusted main form for XP/Classic desktop compatibility",
    "\t\t\t(Bottom of GUI looked 'Clipped')",
    "2006/04/01\t2.00.03\tAdded slave mode activate button (Tolk module)",
    "\t\t\tBit-Banged I2C commands (Rev 03 and up firmware)",
    "\t\t\tAdded mS delay (Rev 03 and up firmware)",
    "\t\t\tMade load directory sticky to make loading easier",
    "\t\t\tAdded command menu 'click to build' functionality",
    "2006/02/22\t2.00.02\tFixed token limit in QX to match hardware",
    "2006/02/20\t2.00.01\tCleaned up this help file",
    "2006/02/18\t2.00.00\tFinished functional build to current spec",
    "2005/12/15\t1.01.00\tAdded script loader",
    "2005/12/01\t1.00.00\tInitial release",
    kHeavy,
    "CONTROLS",
    "EXECUTE: The current COMMAND QUEUE will be compiled and transmited to the selected serial port.  If no port is currently open, the queue will only be compiled",
    "",
    "ONE CLICK COMMANDS: When checked, a single press of a loaded command button will send the selected script to the command queue which will then be processed.  Otherwise the selected script will only be copied to the queue where it may then be edited.",
    "",
    "ONE CLICK TOKENS: When checked, clicking the token menu on the right will compile and transmit the selected token immediately.  This helps when manually bit banging the I2C and GPO lines when debugging the users interface.",
    "",
    "LOAD: See examples of loadable scripts... A script is a text file conataining command sequences, each block beginning with a ';comment' and each block separated by a blank line.  When loaded, the first 18 commands will populate the 18 quick-command buttons. The first 30 characters of the comment will be used to label the command buttons.  All loaded commands will populate the user commands drop down list.  Commands selected from the drop down list will only act as 2-Click commands.",
    "",
    "PING HARDWARE: This control will retrieve the firmware version and current settings from the module.  These include interface voltage, Speed, Trigger-on-edge and Edge settings. All settings except for interface voltage are static and will be re loaded at power on. ",
    "",
    "STORE LAST: The last successfully compiled token list is stored into on board EEPROM. This will be what runs when Trigger-on-edge is enabled.  The current speed setting is stored as well so that even if the module is in Slow mode, a stored script which was run originally in Fast mode will run in Fast mode.  The current speed for new scripts will be maintained.  If no command list is available for storage, an 'Empty buffer' message will be generated.",
    "",
    "RUN STORED: This allows a stored script to be verified before the Trigger-on-egde function is activated. If no commands have been stored, an 'Empty buffer' message will be generated.",
    "",
    "H>L/L>H: These control the edge detection of the Trigger-on-edge logic.  When the selected edge is detected at the GPI pin, the stored script (If available) will be run.",
    "",
    "ON/OFF: This turns on and off the Trigger-on-edge function.",
    "",
    "SLOW/FAST:  These select the CURRENT interface speed, either 100 or 400kbps respectively.",
    "",
    "SLAVE:  For the Tolk module, slave sniffer mode is entered.  This has no effect on the Tamb module.",
    "",
    "HELP/CONNECTOR: This help file and a graphical representation of the I2C interface connector, as seen looking at the pins.",
    kHeavy,
    "COMMANDS",
    "Clicking on the command list at the right inserts the selected command at the end of the command queue window.",
    "",
    "COMMENTS: All data after ';' is ignored.",
    "",
    "I2C COMMANDS: These are the standard I2C command set.  Type each command on a new line as shown in the right hand table.  The number sequences are the token equivalents of each of the commands.  When executed, the commands are compiled into a token stream as indicated in the bottom window.",
    "",
    "SPEED: This reports (But does not affect) the current interface speed.  Fast=400kbps, Slow=100kbps.",
    "",
    "DELAYu: This command will insert a delay of (nn+20)us between commands.",
    "DELAYm: This command will insert a delay of (nn)ms + 20us between commands.",
    "",
    "GPOLO/HI: Subsequent GPO commands will take 4.2uS each, or when used with a delay command between, generate pulse widths from 4.2 to 280us",
    "",
    "SCL-SDA0/1: Switches the I2C hardware to manual control, essentially bit-banging the interface. This is useful when debugging software I2C slaves or hardware slaves under development.  Each of these commands takes about 5uS to execute.",
    "",
    "SDA?/SCL?: Reads the current logic level on the SDA and SCL pins, takes about 12uS.",
    "",
    "SETV xxxx: The on board level shift interface may be programmed to the voltages shown, see next section for further description",
    kHeavy,
    "HARDWARE",
    "Level SHIFTING:  The SDA and SCL lines in the Tamb hardware are pulled up internally through 10K resistors to a programmable supply with approximately 500 ohms of impedance and 1mA drive.  If a Slave bias voltage is detected on boot up greater than 1.25v, the internal bias supply will be off otherwise it will default to 2.5vdc.  The on board level shifter circuitry allows slaves from 1.5 to 5.5vdc to be connected.",
    "",
    "5VDC Power:  Pin 5 on the I2C interface connector is normally just for supplying the proper bias for the level shifter circuitry from the slave.  If you want to use the on board power, jumper E1+E2.  This output is capable of 500mA at 5V with the AC adapter provided with some heating of the unit.  User is responsible for monitoring the temperature rise of the Tamb hardware when this power is used. If jumpered, this will force the level shifter to operate at 5.0vdc.",
    kHeavy,
    "PROTOCOL:  COMMAND PARSING",
    "Command\t\tResponse\tDescription",
    kLight,
    "$aaccdd...dd[cr]\t\t\t$\tFrame start",
    "\t\t\t\taa\tMultidrop unit address (Always 0)",
    "\t\t\t\tcc\tASCII Hex command code",
    "\t\t\t\tdd...dd\tASCII Hex command data",
    "\t\t\t\t[cr]\tCarriage return frame terminator",
    "",
    "PROTOCOL:  RESPONSE PARSING",
    "Command\t\tResponse\tDescription",
    kLight,
    "\t\t!aaccdd...dd%[cr]\t!\tFrame start",
    "\t\t\t\taa\tMultidrop unit address (Always 0)",
    "\t\t\t\tcc\tASCII Hex command code",
    "\t\t\t\tdd...dd\tASCII Hex response data or...",
    "\t\t\t\t%\t...Command execution code",
    "\t\t\t\t\ta\tAck, execution OK",
    "\t\t\t\t\tn\tnAck, Execution failed",
    "\t\t\t\t\tf\tError in command framing",
    "\t\t\t\t\t?\tCommand not recognized",
    "\t\t\t\t[cr]\tCarriage return frame terminator",
    "",
    "PROTOCOL:  CONTROL COMMANDS",
    "Command\t\tResponse\tDescription",
    kLight,
    "$0010cctt...tt[cr]\t!0010r...r[cr]\tTokenized I2C script",
    "\t\t\t\tcc\tToken count + 1, ASCII Hex",
    "\t\t\t\ttt...tt\tTokens, ASCII Hex",
    "\t\t\t\tr...r\tResponse Tokens, mixed ASCII/Hex",
    "\t\t\t\t(See token breakdown in next section)",
    "$0011[cr]\t\t!0011a[cr]\tStore last script to EEPROM",
    "\t\t!0011e[cr]\tNo script to store",
    "$0012[cr]\t\t!0012a[cr]\tReplay script from EEPROM",
    "\t\t!0012e[cr]\tNo script to replay",
    "$0013[cr]\t\t!0013a[cr]\tInterrupt Edge=High-to-Low",
    "$0014[cr]\t\t!0014a[cr]\tInterrupt Edge=Low-to-High",
    "$0015[cr]\t\t!0015a[cr]\tInterrupt EdgeTrigger=On",
    "$0016[cr]\t\t!0016a[cr]\tInterrupt EdgeTrigger=Off",
    "$0017[cr]\t\t!0017a[cr]\tI2C Speed=Slow(100kbps)",
    "$0018[cr]\t\t!0018a[cr]\tI2C Speed=Fast(400kbps)",
    "$0019[cr]\t\t!0019vvvvste[cr]\tReport current configuration",
    "\t\t\t\tvvvv\tVSlave (mV)",
    "\t\t\t\ts\t0=Slow(100kbps)",
    "\t\t\t\t\t1=Fast(400kbps)",
    "\t\t\t\tt\t0=Edge trigger off",
    "\t\t\t\t\t1=Edge trigger on",
    "\t\t\t\tt\t0=Edge High-to-Low",
    "\t\t\t\t\t1=Edge Low-to-High",
    "\t\t!0020i[cr]\t\tInterrupt pin has changed state",
    "\t\t\t\ti\t0=Now low",
    "\t\t\t\t\t1=Now high",
    "$00FF[cr]\t\t!00FFa[cr]\tFor Tolk hardware, switch to bus sniff mode",
    "",
    "PROTOCOL:  I2C TOKENS",
    "TxTokens are two character ASCII hex values, '00' to 'FF'. RxTokens are mixed ASCII hex and ASCII characters. The modules token parser converts the TxTokens to binary, processes the tokens and then transmits the entire response AFTER all the commands have completed so that no response related delays are inserted into the command stream.",
    "",
    "TxToken\tRxToken\tDescription",
    kLight,
    "00\tS\tGenerate I2C Start condition",
    "01 hh\tWhha\tWrite 0xhh to the bus, slave responded with Ack",
    "\tWhhn\tWrite 0xhh to the bus, slave responded with nAck",
    "02\tRhha\tRead 0xhh from bus then Ack the transfer",
    "03\tRhhn\tRead 0xhh from bus then nAck the transfer",
    "04\tP\tGenerate I2C Stop condition",
    "05 hh\tDhh\tDelay (0xhh+1)uS",
    "06 hh\tdhh\tDelay (0xhh+1)mS",
    "10\tsn\tQuerry bus speed: n=0=100kbps, n=1=400kbps",
    "20\t20\tGPO 0 Low",
    "21\t21\tGPO 0 High",
    "30\t30\tGPO 1 Low",
    "31\t31\tGPO 1 High",
    "40\t40\tGPO 2 Low",
    "41\t41\tGPO 2 High",
    "50\t50\tGPO 3 Low",
    "51\t51\tGPO 3 High",
    "60\t6n\tRead interrupt pin state: n=0=Low or n=1=High",
    "7n\t7n\tSet bus voltage:\tn=0\tNo drive, slave supplied",
    "\t\t\t\tn=1\t2.5V",
    "\t\t\t\tn=2\t3.0V",
    "\t\t\t\tn=3\t3.5V",
    "\t\t\t\tn=4\t4.0V",
    "\t\t\t\tn=5\t5.0V",
    "80\t80\tSCL Low",
    "81\t81\tSCL High",
    "82\t82\tSDA Low",
    "83\t83\tSDA High",
    "90\t9n\tRead SCL pin state, n=0=Low or n=1=High",
    "92\t9n\tRead SDA pin state, n=2=Low or n=3=High",
};
// clang-format on

} // namespace

std::string helpDocument(std::string_view version) {
    std::string text;
    text.append(kTitleBefore).append(version).append(kTitleAfter).append(util::CRLF);
    for (std::string_view line : kLines) {
        if (line == kHeavy)
            text.append(kRuleLength, kHeavyRuleChar);
        else if (line == kLight)
            text.append(kRuleLength, kLightRuleChar);
        else
            text.append(line);
        text.append(util::CRLF);
    }
    return text;
}

} // namespace help
