#include "core/text/string_table.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "core/model/parameters.h"

namespace tavio {
namespace {

struct StringRow {
  StringId id;
  TextView english;
  TextView german;
};

// {ID, English, German}, ascending by ID. The texts are kept exactly as the
// product has always shown them, odd spellings and blanks included. Line
// breaks are CR LF; an empty text means the ID has no text in that language.
constexpr StringRow kStrings[] = {
    {200, u"BEC voltage", u"BEC-Spannung"},
    {201, u"Reverse rotation", u"Drehrichtungsumkehr"},
    {202, u"Forward/Backward", u"Vorwärts/Rückwärts"},
    {203, u"Shutdown", u"Abschaltung"},
    {204, u"Auto-timing", u"Auto-Timing"},
    {205, u"Fix-timing", u"Fix-Timing"},
    {207, u"Cut off voltage / cell", u"Abschaltspannung / Zelle"},
    {208, u"Capacity limit", u"Kapazitätslimit"},
    {209, u"Type of governor", u"Drehzahlregler Typ"},
    {210, u"Spool-up time", u"Hochlaufzeit"},
    {211, u"P-part", u"P-Anteil"},
    {213, u"Type of brake", u"Bremse-Typ"},
    {214, u"Pole count", u"Polzahl"},
    {215, u"Gear ratio", u"Untersetzung"},
    {218, u"Battery cut off", u"Akku Unterspannung"},
    {219, u"Capacity limit", u"Kapazitätslimit"},
    {220, u"Max. motor current", u"Max. Motorstrom"},
    {221, u"Max. BEC current", u"Max. BEC Strom"},
    {222, u"Max. FET temperature", u"Max. Endstufentemperatur"},
    {223, u"Max. BEC temperature", u"Max. BEC Temperatur"},
    {226, u"ESC bootloader", u"Regler-Bootloader"},
    {228, u"ESC", u"Regler"},
    {233, u"Hold time", u"Hold Zeit"},
    {234, u"Min. PWM", u"Min. PWM"},
    {235, u"Soft start", u"Sanftanlauf"},
    {236, u"Max. starting current", u"Max. Anlaufstrom"},
    {237, u"Brake-Slewrate Pos.", u"Bremse-Slewrate Pos."},
    {238, u"Brake-Slewrate Neg.", u"Bremse-Slewrate Neg."},
    {239, u"Min. PWM Brake", u"Min. Bremsleistung"},
    {240, u"Max. PWM Brake", u"Max. Bremsleistung"},
    {242,
     u"Here is the field for the comment",
     u"Um einen Kommentar für einen Parameter zu erhalten, die Maus über den "
     u"jeweiligen Parameter bewegen."},
    {300,
     u"-BEC output voltage- \r\n\r\n"
     u"Limits: min 5.0V - max 8.0V \r\n\r\n"
     u"Default: 5.6V",
     u"-BEC-Ausgangsspannung- \r\n\r\n"
     u"Grenzwert: Min 5.0V - Max 8.0V \r\n\r\n"
     u"Default: 5.6V"},
    {301,
     u"-Reverse rotation- \r\n\r\n"
     u"Reverse the rotation direction of the motor",
     u"-Drehrichtungsumkehr- \r\n\r\n"
     u"Kehrt die Drehrichtung des Motors dauerhaft um"},
    {302,
     u"-Forward/Backward- \r\n\r\n"
     u"Activates the forward/backward option for the motor",
     u"-Vorwärts/Rückwärts- \r\n\r\n"
     u"Aktiviert die Vorwärts/Rückwärts Option"},
    {303,
     u"-Shutdown- \r\n\r\n"
     u"Activates hard cutoff when under voltage or capacity limit detected",
     u"-Abschaltung-\r\n\r\n"
     u"Aktiviert die Abschaltung bei Unterspannung und bei aktiviertem "
     u"Kapazitätslimit. Wenn nicht aktiviert, wird bei erreichen der Limits "
     u"abgeregelt. \r\n\r\n"
     u"ACHTUNG: Wenn aktiviert, wird bei Unterspannung bzw. beim Erreichen des "
     u"Kapazitätslimits abgeschaltet! Gilt nicht bei Drehzahlregelung."},
    {304,
     u"-Auto timing- \r\n\r\n"
     u"Activates the automatic timing adaption (recommended)",
     u"-Autotiming- \r\n\r\n"
     u"Die automatische Timinganpassung ist aktiv (empfohlen)"},
    {305,
     u"-Fix timing- \r\n\r\n"
     u"Allows fixed timing (if necessary) \r\n\r\n"
     u"Limits: min 0° - max 30° \r\n\r\n"
     u"Default: 5° \r\n\r\n"
     u"CAUTION: Incorrect settings will result in poor motor operation and excess "
     u"heat",
     u"-Fix Timing- \r\n\r\n"
     u"Ermöglicht eine feste Timing-Einstellung (falls notwendig). \r\n\r\n"
     u"Grenzwerte: Min 0° - Max 30° \r\n\r\n"
     u"Default: 5°\r\n\r\n"
     u"ACHTUNG: Falsche Einstellung hat massive Auswirkungen auf Motorlauf und "
     u"Wirkungsgrad."},
    {306,
     u"-Battery type- \r\n\r\n"
     u"Set of battery type (NiCd/NiMH, LiPo, LiFePo) \r\n\r\n"
     u"Default: LiPo \r\n\r\n"
     u"CAUTION: necessary for correct function",
     u"-Akkutyp- \r\n\r\n"
     u"Legt den Akkutyp fest (NiCd/NiMH, LiPo, LiFePo) \r\n\r\n"
     u"Default: LiPo \r\n\r\n"
     u"ACHTUNG: Für die korrekte Funktion des Reglers notwendig"},
    {307,
     u"-Cut off voltage/cell- \r\n\r\n"
     u"Posability of changing the under voltage cut off/slow down voltage \r\n\r\n"
     u"Limits: \r\n"
     u"NiCd/NiMH 700mV - 1200mV, \r\n"
     u"Default: 800mV \r\n"
     u"LiPo 2700mV - 4000mV, \r\n"
     u"Default: 3000mV \r\n"
     u"LiFePo 1800mV - 2600mV \r\n"
     u"Default: 2300mV\r\n\r\n"
     u"CAUTION: too low values may damage your battery",
     u"-Abschaltspannung/Zelle- \r\n\r\n"
     u"Ermöglicht die Anpassung der Abschalt-/Abregel-Spannung \r\n\r\n"
     u"Grenzwerte: \r\n"
     u"NiCd/NiMH 700mV - 1200mV,\r\n"
     u"Default: 800mV \r\n"
     u"LiPo 2700mV - 4000mV,\r\n"
     u"Default: 3000mV \r\n"
     u"LiFePo 1800mV - 2600mV,\r\n"
     u"Default: 2300mV \r\n\r\n"
     u"ACHTUNG: zu niedrige Werte führen zur Tiefenentladung des Akkus"},
    {308,
     u"-capacity limit- \r\n\r\n"
     u"Additional parameter for under voltage cut off/slow down. The used capacity "
     u"is calculated during operation. When the limit is reached, cut off/slow "
     u"down will be activate. \r\n\r\n"
     u"Limit: min 0.0Ah - max 65.0Ah.\r\n\r\n"
     u"Default: 0.0 means not activated",
     u"-Kapazitätslimit- \r\n\r\n"
     u"Zusätzlicher Parameter zu Aktivierung der Abschaltung/Abregelung. Die "
     u"entnommene Energiemenge wird mitgerechnet. Beim Erreichen des eingestellten "
     u"Limits wird die Abschaltung/Abregelung aktiviert. \r\n\r\n"
     u"Grenzwert: Min 0.0Ah - Max 65.0Ah \r\n\r\n"
     u"Default: 0.0 bedeuted nicht aktiviert"},
    {309,
     u"-Type of governor- \r\n\r\n"
     u"Activates governor or governor store mode. governor store means, that the "
     u"first recorded RPM will be stored and not changed, if the battery is "
     u"disconnected. \r\n\r\n"
     u"CAUTION: If cell count or motor is changed, new programming is necessary. "
     u"(Therefore choose governor-store again)",
     u"-Drehzahlregelungs Typ- \r\n\r\n"
     u"Aktiviert die Drehzahlregelung. Unterschieden wird zwischen Govenour und "
     u"Govenour-Store Modus. Govenour-Store sollte verwendet werden, um die "
     u"Rotordrehzahl unabhängig vom jeweiligen Akku einheitlich zu halten, da die "
     u"Drehzahl nach Aktivierung nur einmalig eingelernt wird. \r\n\r\n"
     u"ACHTUNG: Wenn Zellenzahl des Akkus oder Motortyp verändert wird, muss "
     u"Govenour-Store neu eingelernt werden. (->Govenour-Store erneut auswählen)"},
    {310,
     u"-Spool-up time- \r\n\r\n"
     u"This is the time it takes to get the motor to the desired speed based on "
     u"the chosen throttle position. \r\n\r\n"
     u"Limit: 6s  - 60s, ALDER 6s - 20s \r\n\r\n"
     u"Default: 12s. \r\n\r\n"
     u"CAUTION: The spool-up time affects the short spool-up time after "
     u"autorotation. To short of a spool up time may result in a damaged "
     u"helicopter.",
     u"-Hochlaufzeit- \r\n\r\n"
     u"Diese Zeit wird benutzt, um den Rotor auf die vom Sender vorgegebene "
     u"Drehzahl gleichmäßig zu beschleunigen. \r\n\r\n"
     u"Grenzwert: 6s - 60s, ALDER: 6s - 20s \r\n\r\n"
     u"Default: 12s \r\n\r\n"
     u"ACHTUNG: Die Hochlaufzeit beeinflusst die schnelle Hochlaufzeit nach einer "
     u"Autorotation. Zu kurze Hochlaufzeit kann im Hubschrauber zu Beschädigungen "
     u"führen. "},
    {311,
     u"-P-part- \r\n\r\n"
     u"EXPERT PARAMETER! \r\n"
     u"This parameter changes the proportional term in the control loop \r\n\r\n"
     u"Limit: 0 - 10 \r\n\r\n"
     u"Default: 4",
     u"-P-Anteil- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Hat Einfluss auf die Regelcharakteristik der Drehzahlregelung. \r\n\r\n"
     u"Grenzwert: Min 0 - Max 10 \r\n\r\n"
     u"Default: 4"},
    {312,
     u"-Ri-comp- \r\n\r\n"
     u"EXPERT PARAMETER! \r\n"
     u"Based on the inner resistance of the motor, it influences the RPM control "
     u"characteristic.\r\n\r\n"
     u"Limit: 0 - 1000mOhm \r\n\r\n"
     u"Default: 4mOhm",
     u"-Ri-Comp- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Gekoppelt an den Innenwiderstand des Motors, hat er Einfluss auf die "
     u"Regelcharakteristik der Drehzahlregelung. \r\n\r\n"
     u"Grenzwert: Min 0 - Max 1000mOhm \r\n\r\n"
     u"Default: 4mOhm"},
    {313,
     u"-Type of brake- \r\n\r\n"
     u"Activates the brake. Proportional brake means, the brake strength is "
     u"proportional to the throttle stick. Switching brake means, the brake is "
     u"fully activated when reaching the throttle brake position. None means, no "
     u"brake.",
     u"-Bremse Typ- \r\n\r\n"
     u"Aktiviert die Bremse. \r\n"
     u"Proportionale Bremse bedeutet, dass die Bremsstärke über dem Knüppelweg "
     u"variiert. \r\n"
     u"Schaltbremse aktiviert die volle Bremsstärke bei Erreichen des "
     u"Bremspunktes. \r\n"
     u"Aus deaktiviert die Bremse."},
    {314,
     u"-Pole count- \r\n\r\n"
     u"When using Telemetry/Logging and would like to have the physical RPM of the "
     u"motor not the logical count of magnetic poles of the motor.\r\n\r\n"
     u"Default: 2",
     u"-Polzahl- \r\n\r\n"
     u"Um bei/beim Telemetrie/Logging anstelle der physikalischen Drehzahl die "
     u"Drehzahl an der Motorwelle anzuzeigen, muss die Polzahl des verwendeten "
     u"Motors eingestellt werden.\r\n\r\n"
     u"Grenzwert: Min 2 - Max 32 \r\n\r\n"
     u"Default: 2"},
    {315,
     u"-Gear ratio- \r\n\r\n"
     u"When using Telemetry / Logging and like to have the RPM of the rotor head / "
     u"propeller after a gear box, insert the gear ratio. \r\n\r\n"
     u"Format: x.xx:1",
     u"-Untersetzung- \r\n\r\n"
     u"Um bei/beim Telemetrie/Logging anstelle der Motordrehzahl die "
     u"Abtriebsdrehzahl hinter einem Getriebe (Kopfdrehzahl/Luftschraubendrehzahl) "
     u"angezeigt zu bekommen, muss die verwendete Untersetzung eingestellt werden. "
     u"\r\n\r\n"
     u"Format:  x.xx:1"},
    {316,
     u"-Slewrate positive- \r\n\r\n"
     u"EXPERT PARAMETER! \r\n"
     u"Influences how quick a higher throttle position is reached. The time is "
     u"referring to the whole throttle range 0-100% PWM. \r\n\r\n"
     u"Limit: min 100ms - max 60000ms. \r\n\r\n"
     u"Default: depends on the mode",
     u"-Slewrate Positiv- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Beeinflusst, wie schnell ein neuer höherer Gaswert erreicht wird. Die Zeit "
     u"bezieht sich auf 0-100% PWM. \r\n\r\n"
     u"Grenzwert: Min 100ms - Max 60000ms\r\n\r\n"
     u"Default: Modusabhängig"},
    {317,
     u"-Slewrate negative- \r\n\r\n"
     u"EXPERT PARAMETER! \r\n"
     u"Influences how quick a lower throttle position is reached. The time is "
     u"referring to the whole throttle range 0-100% PWM. \r\n\r\n"
     u"Limit: min 100ms - max 60000ms. \r\n\r\n"
     u"Default: depends on the mode",
     u"-Slewrate Negativ- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Beeinflusst, wie schnell ein neuer niedrigerer Gaswert erreicht wird. Die "
     u"Zeit bezieht sich auf 100-0% PWM. \r\n\r\n"
     u"Grenzwert: Min 100ms - Max 60000ms\r\n\r\n"
     u"Default: Modusabhängig"},
    {318,
     u"-Warning Battery cut off- \r\n\r\n"
     u"Sendra-parameter: \r\n"
     u"threshold for under voltage cut off / cell. When reached a transmitter "
     u"alarm will be activated.\r\n\r\n"
     u"Limit: min 700mV - max 4400mV.\r\n\r\n"
     u"Default: 3500mV",
     u"-Warnung Unterspannung- \r\n\r\n"
     u"Sendra-Parameter: \r\n"
     u"Schwelle für Unterspannung/Zelle, bei der die Warnung am Sender ggf. "
     u"ausgelöst wird.\r\n\r\n"
     u"Grenzwert: Min 700mV - Max 4400mV\r\n\r\n"
     u"Default: 3500mV"},
    {319,
     u"-Warning capacity limit- \r\n\r\n"
     u"Sendra-parameter: \r\n"
     u"threshold for the used capacity in Ah. When reached a transmitter alarm "
     u"will be activated.\r\n\r\n"
     u"Limit: min 0.0Ah - max 65.0Ah.\r\n\r\n"
     u"Default: 0.0 means not activated",
     u"-Warnung Kapazitätslimit- \r\n\r\n"
     u"Sendra-Parameter: \r\n"
     u"Schwelle für Kapazitätslimit in Ah, bei der die Warnung am Sender ggf. "
     u"ausgelöst wird.\r\n\r\n"
     u"Grenzwert: Min 0.0Ah - Max 65.0Ah\r\n\r\n"
     u"Default: 0.0 bedeuted nicht aktiviert"},
    {320,
     u"-Warning motor current- \r\n\r\n"
     u"Sendra-parameter: \r\n"
     u"threshold for motor current peaks in A. When reached a transmitter alarm "
     u"will be activated.\r\n\r\n"
     u"Limit: min 0A - max twice the ESC's model number (320A for a 160).\r\n\r\n"
     u"Default: depends on the ESC",
     u"-Warnung Motorstrom- \r\n\r\n"
     u"Sendra-Parameter: \r\n"
     u"Schwelle für Motorstromspitzen in A, bei der die Warnung am Sender ggf. "
     u"ausgelöst wird.\r\n\r\n"
     u"Default: Reglerabhängig"},
    {321,
     u"-Warning BEC current- \r\n\r\n"
     u"Sendra-parameter: \r\n"
     u"threshold for BEC current in mA. When reached a transmitter alarm will be "
     u"activated. (Only for ESCs with BEC current measurement. Not working with "
     u"all transmitters)\r\n\r\n"
     u"Limits: min 0mA - max 30000mA, BRENTA 160: max 20000mA.\r\n\r\n"
     u"Default: depends on the ESC",
     u"-Warnung BEC Strom- \r\n\r\n"
     u"Sendra-Parameter: \r\n"
     u"Schwelle für BEC-Strom in mA, bei der die Warnung am Sender ggf. ausgelöst "
     u"wird. \r\n"
     u"(Nur bei Reglern mit BEC-Strommessung. Nicht bei allen Sendern)\r\n\r\n"
     u"Grenzwert: Min 0mA - Max 30000mA\r\n\r\n"
     u"Default: Reglerabhängig"},
    {322,
     u"-Warning FET temperature- \r\n\r\n"
     u"Sendra-parameter: \r\n"
     u"threshold for the power stage (FET) temperature in °C. When reached a "
     u"transmitter alarm will be activated.\r\n\r\n"
     u"Limit: min 20°C - max 90°C.\r\n\r\n"
     u"Default: 90°C",
     u"-Warnung Endstufentemperatur- \r\n\r\n"
     u"Sendra-Parameter: \r\n"
     u"Schwelle für die Endstufentemperatur in °C, bei der die Warnung am Sender "
     u"ggf. ausgelöst wird.\r\n\r\n"
     u"Grenzwert: Min 20°C - Max 90°C\r\n\r\n"
     u"Default: 90°C"},
    {323,
     u"-Warning BEC temperature- \r\n\r\n"
     u"Sendra-parameter: \r\n"
     u"threshold for the BEC temperature in °C. When reached a transmitter alarm "
     u"will be activated. (Only for ESCs with BEC)\r\n\r\n"
     u"Limit: min 20°C - max 90°C.\r\n\r\n"
     u"Default: 90°C",
     u"-Warnung BEC Temperatur- \r\n\r\n"
     u"Sendra-Parameter: \r\n"
     u"Schwelle für die BEC-Temperatur in °C, bei der die Warnung am Sender ggf. "
     u"ausgelöst wird. (Nur bei Reglern mit BEC)\r\n\r\n"
     u"Grenzwert: Min 20°C - Max 90°C\r\n\r\n"
     u"Default: 90°C"},
    {333,
     u"-Hold time- \r\n\r\n"
     u"If no more receiver signals can be detected, during this time the last "
     u"throttle data is fixed. After this time with still no receiver signals the "
     u"motor is switched of.",
     u"-Hold Zeit- \r\n\r\n"
     u"Die Zeit, in der die Gasvorwahl stabil bleibt, obwohl keine gültigen "
     u"Empfängersignale vorhanden sind. Danach wird Motor sicherheitshalber "
     u"abgeschaltet. \r\n\r\n"
     u"Grenzwert: Min 100ms - Max 3000ms \r\n\r\n"
     u"Default: 2000ms"},
    {334,
     u"-Min. PWM- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Minimal PWM threshold. Influences start up of the motor. \r\n\r\n"
     u"Limit min 1% - max 25%\r\n\r\n"
     u"Default: depends on the mode",
     u"-Minimale PWM- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Minimal einstellbarer PWM-Wert. Beeinflusst Anlaufverhalten. \r\n\r\n"
     u"Grenzwert Min 1% - Max 25%\r\n\r\n"
     u"Default: Modusabhängig"},
    {335,
     u"-Soft start- \r\n\r\n"
     u"When activated the motor is started in the smoothest manner possible. To "
     u"avoid a tail kick even with short start up time.",
     u"-Sanftanlauf- \r\n\r\n"
     u"Wenn aktiviert, läuft der Motor noch sanfter an, um gegebenenfalls trotz "
     u"Hochlaufzeit ein Wegdrehen des Hecks zu verhindern. Der Sanftanlauf ist nur "
     u"bei aktivierter Drehzahlregelung möglich."},
    {336,
     u"-Max starting current- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Limitation of allowed current during start up of the motor. This influenced "
     u"the start up quality. \r\n\r\n"
     u"Limit: min 10A - max 100A.\r\n\r\n"
     u"Default: 100A",
     u"-Maximaler Anlaufstrom- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Begrenzung des maximalen Stroms im Anlauf in A. Hat Einfluss auf das "
     u"Anlaufverhalten. \r\n\r\n"
     u"Grenzwert: Min 10A - Max 100A \r\n\r\n"
     u"Default: 100A"},
    {337,
     u"-Slewrate Brake positive- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"influences how quick a new higher brake throttle position is realized. The "
     u"time is refering to the brake strenght 0-100%. \r\n\r\n"
     u"Limit: min 100ms - max 10000ms.\r\n\r\n"
     u"Default: depends on the mode",
     u"-Slewrate Bremse Positiv- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Beeinflusst, wie schnell ein neuer höherer Bremswert erreicht wird. Die "
     u"Zeit bezieht sich auf 0-100% Bremswirkung. \r\n\r\n"
     u"Grenzwert: Min 100ms - Max 10000ms\r\n\r\n"
     u"Default: Modusabhängig"},
    {338,
     u"-Slewrate Brake negative- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"influences how quick a new lower brake throttle position is realized. The "
     u"time is refering to the brake strenght 0-100%. \r\n\r\n"
     u"Limit: min 100ms - max 10000ms.\r\n\r\n"
     u"Default: depends on the mode",
     u"-Slewrate Bremse Negativ- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Beeinflusst, wie schnell ein neuer niedrigerer Bremswert erreicht wird. Die "
     u"Zeit bezieht sich auf 100-0% Bremswirkung. \r\n\r\n"
     u"Grenzwert: Min 100ms - Max 10000ms\r\n\r\n"
     u"Default: Modusabhängig"},
    {339,
     u"-Min. Brake PWM- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"influences the strength of the brake, initiating minimum brake strength. "
     u"Only with proportional brake. \r\n\r\n"
     u"Limit: min 0% - max 50% \r\n\r\n"
     u"Default:0%",
     u"-Minimale Bremsleistung- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Beeinflusst, wie stark die Bremse im Vergleich zur maximalen Bremsleistung "
     u"mindestends sein kann. \r\n\r\n"
     u"ACHTUNG: Nur bei proportionaler Bremse. \r\n\r\n"
     u"Grenzwert: Min 0% - Max 50% \r\n\r\n"
     u"Default: 0%"},
    {340,
     u"-Max. Brake PWM- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"influences the strength of the brake, initiating full brake strength. "
     u"\r\n\r\n"
     u"Limit: min 50% - max 100% \r\n\r\n"
     u"Default:0% ",
     u"-Maximale Bremsleistung- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Beeinflusst, wie stark die Bremse im Vergleich zur maximalen Bremsleistung "
     u"höchstens sein kann. \r\n\r\n"
     u"Grenzwert: Min 50% - Max 100% \r\n\r\n"
     u"Default: 100%"},
    {342,
     u"",
     u"Um einen Kommentar für einen Parameter zu erhalten, die Maus über den "
     u"jeweiligen Parameter bewegen."},
    {400,
     u"-I-part- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"This parater influence the RPM control characteristic. \r\n\r\n"
     u"Limit: 0 - 10 \r\n\r\n"
     u"Default: 4",
     u"-I-Anteil- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Hat Einfluss auf die Regelcharakteristik der Drehzahlregelung. \r\n\r\n"
     u"Grenzwert: Min 0 - Max 10 \r\n\r\n"
     u"Default: 4"},
    {401,
     u"-Max starting current- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Limitation of allowed current during start up of the motor. This influenced "
     u"the start up quality. \r\n\r\n"
     u"Limit: min 10% - max 100%.\r\n\r\n"
     u"Default: 100%",
     u"-Maximaler Anlaufstrom- \r\n\r\n"
     u"EXPERT-PARAMETER! \r\n"
     u"Begrenzung des maximalen Stroms im Anlauf in Prozent. Hat Einfluss auf das "
     u"Anlaufverhalten. \r\n\r\n"
     u"Grenzwert: Min 10% - Max 100%"},
    {15000, u"General", u"Allgemein"},
    {15001, u"Load defaults", u"Modell Defaults laden"},
    {15002, u"Battery", u"Akku"},
    {15003, u"Type of battery", u"Akkutyp"},
    {15004, u"Governor", u"Drehzahlregelung"},
    {15005, u"Off", u"Aus"},
    {15007, u"Motor", u"Motor"},
    {15008, u"Switching brake", u"Schaltbremse"},
    {15009, u"Proportional", u"Proportional"},
    {15011, u"Warnings", u"Warnungen"},
    {15013, u"Expert", u"Expert"},
    {15014,
     u"TAVIO (Version %02u.%02u.%02u): Connected with %s %u",
     u"TAVIO (Version %02u.%02u.%02u): Verbunden mit %s %u"},
    {15015,
     u"TAVIO (Version %02u.%02u.%02u): Not connected",
     u"TAVIO (Version %02u.%02u.%02u): Nicht verbunden"},
    {15016, u"Load file", u"Datei laden"},
    {15017, u"Save file", u"Datei speichern"},
    {15018, u"Settings saved successfully!", u"Die Einstellungen wurden erfolgreich gespeichert!"},
    {15019,
     u"The selected file is not a valid memory file, please choose a valid memory "
     u"file!",
     u"Die ausgewählte Datei ist keine gültige Speicherdatei, bitte wählen Sie "
     u"eine gültige Speicherdatei aus!"},
    {15020,
     u"The selected file is not compatible with the connected controller, please "
     u"choose a valid memory file!",
     u"Die ausgewählte Datei ist nicht mit dem angeschlossenen Regler kompatibel, "
     u"bitte wählen Sie eine gültige Speicherdatei aus!"},
    {15021,
     u"Caution! The stored RPM from the governor store mode will be lost! \r\n"
     u"Do you want to continue?",
     u"Achtung! Damit geht der eingelernte Drehzahlwert des Govenour-Store Modus "
     u"verloren! \r\n"
     u"Wollen Sie fortfahren?"},
    {15022, u"Comment", u"Kommentar"},
    {15100, u"Store on ESC", u"Auf Regler speichern"},
    {20001, u"Application error", u"Anwendungsfehler"},
    {20002,
     u"Error on registration of Windows device message handler. New device could "
     u"not be deteced on USB port.Program is closed.",
     u"Fehler bei der Registrierung der Windows-Gerätebenachrichtigung. Neue "
     u"Geräte am USB-Port können nicht erkannt werden. Das Programm wird beendet."},
    {20003,
     u"A programming unit was found on the USB Port which is in the wrong mode. To "
     u"program the ESC do the following:",
     u"Am USB-Port wurde eine Programmiereinheit gefunden, die sich im falschen "
     u"Modus befindet. Um den Regler zu programmieren, gehen Sie bitte wie folgt "
     u"vor:"},
    {20004,
     u"A programming unit was found on the USB Port but no updatable ESC.  To "
     u"program the ESC do the following:",
     u"Am USB-Port wurde eine Programmiereinheit gefunden, aber kein "
     u"programmierbarer Regler. Um den Regler zu programmieren, gehen Sie bitte "
     u"wie folgt vor:"},
    {20005,
     u"No programming unit was found on the USB Port. To program the ESC do the "
     u"following:",
     u"Am USB-Port wurde keine Programmiereinheit gefunden. Um den Regler zu "
     u"programmieren, gehen Sie bitte wie folgt vor:"},
    {20006,
     u"The USB Connection between programming unit and PC was lost. To program the "
     u"ESC do the following:",
     u"Die USB-Verbindung zwischen Programmiereinheit und PC wurde unterbrochen. "
     u"Um den Regler zu programmieren, gehen Sie bitte wie folgt vor:"},
    {20007, u"Communication error", u"Kommunikationsfehler"},
    {20008, u"System has error code 0x%08x-0x%08x", u"System hat Fehlercode 0x%08x-0x%08x"},
    {20009,
     u"The communication with the ESC was interrupted by an error. Please try "
     u"again. If the error occur again, please contact DRAVEX service",
     u"Die Kommunikation mit dem Regler wurde durch einen Fehler unterbrochen. "
     u"Bitte versuchen Sie es erneut. Wenn der Fehler wieder auftritt, wenden Sie "
     u"sich bitte an den DRAVEX Service"},
    {20010, u"Error when reading ESC EEPROMs", u"Fehler beim Lesen des Regler-EEPROMs"},
    {20011,
     u"System-Lock of programming unit could not be set. No data writing possible.",
     u"System-Lock der Programmiereinheit konnte nicht gesetzt werden. Schreiben "
     u"der Daten nicht möglich."},
    {20012,
     u"Writing to Flash memory of ESC was not possible. Data writing cancelled.",
     u"Schreiben in den Flash-Speicher des Reglers war nicht möglich. Schreiben "
     u"der Daten abgebrochen."},
    {20013,
     u"Error during writing on EEPROM. No data writing possible.",
     u"Fehler beim Schreiben des EEPROMs. Schreiben der Daten nicht möglich."},
    {20014,
     u"The address for writing new EEPROM data was not found. Data writing was "
     u"cancelled.",
     u"Die Adresse zum Schreiben der neuen EEPROM-Daten wurde nicht gefunden. "
     u"Schreiben der Daten abgebrochen."},
    {20015,
     u"Error when writing last EEPROM data block. Data writing was canceled.",
     u"Fehler beim Schreiben des letzten EEPROM-Datenblocks. Schreiben der Daten "
     u"abgebrochen."},
    {20111,
     u"1.)\r\n"
     u"Disconnect the DRAVEX ESC from the receiver (Master and Slave Port) and "
     u"connect the Master Port with the female connector of the LinkBox/LINKPUCK. "
     u"A BEC or male to male cable required. \r\n"
     u"The DELMAR-Z needs instead a program-cable.\r\n\r\n"
     u" 2.)\r\n"
     u"Connect the DRAVEX ESC to an appropriate battery. As soon as the connection "
     u"is established the LEDs of the DRAVEX ESC and the LinkBox starts "
     u"flashing.\r\n\r\n"
     u" 3.)\r\n"
     u" Now connect the LinkBox/LINKPUCK with the supplied USB cable to your PC. "
     u"If you use a LINKPUCK, please push the button once. \r\n\r\n"
     u" 4.)\r\n"
     u" Now push the 'OK'-button, Tavio starts now.",
     u"1.)\r\n"
     u"Trennen Sie den DRAVEX Regler vom Empfänger (Master- und Slave-Port) und "
     u"verbinden Sie den Master-Port mit der Buchse der LinkBox/LINKPUCK. Dazu ist "
     u"ein BEC- oder Stecker-Stecker-Kabel erforderlich. \r\n"
     u"Der DELMAR-Z benötigt stattdessen ein Programmierkabel.\r\n\r\n"
     u" 2.)\r\n"
     u"Schließen Sie den DRAVEX Regler an einen geeigneten Akku an. Sobald die "
     u"Verbindung hergestellt ist, beginnen die LEDs des DRAVEX Reglers und der "
     u"LinkBox zu blinken.\r\n\r\n"
     u" 3.)\r\n"
     u" Verbinden Sie nun die LinkBox/LINKPUCK mit dem mitgelieferten USB-Kabel "
     u"mit Ihrem PC. Wenn Sie einen LINKPUCK verwenden, drücken Sie bitte einmal "
     u"die Taste. \r\n\r\n"
     u" 4.)\r\n"
     u" Drücken Sie nun die 'OK'-Schaltfläche, Tavio startet jetzt."},
    {20112,
     u"The configuration parameters have been transferred to the ESC successfully",
     u"Die Konfigurationsparameter wurden erfolgreich auf den Regler übertragen"},
    {20113, u"Invalid data", u"Ungültige Eingabe"},
    {20114,
     u"This pole count is invalid. The pole count must between 2 and 32 in even "
     u"numbers.",
     u"Die eingegebene Motor-Polzahl ist nicht zulässig. Die Anzahl der Pole muss "
     u"zwischen 2 und 32 liegen und gerade sein."},
    {20115,
     u"If you enable the under voltage shutdown, the ESC will turn off as soon as "
     u"it reaches the specified cut off voltage/cell or capacity!",
     u"Wenn Sie die Unterspannungsabschaltung aktivieren, schaltet sich der Regler "
     u"ab, sobald er die festgelegte Abschaltspannung/Zelle erreicht hat!"},
    {20120,
     u"A programming unit (LINKBOX or LINKPUCK) was found at %s, but access to it "
     u"was denied. To grant access, install the udev rule \"70-tavio.rules\" to "
     u"/etc/udev/rules.d/ (the package installs it to /usr/lib/udev/rules.d/), "
     u"then unplug the programming unit and plug it in again.",
     u"Unter %s wurde eine Programmiereinheit (LINKBOX oder LINKPUCK) gefunden, "
     u"der Zugriff darauf wurde jedoch verweigert. Um den Zugriff zu erlauben, "
     u"installieren Sie die udev-Regel \"70-tavio.rules\" nach /etc/udev/rules.d/ "
     u"(das Paket installiert sie nach /usr/lib/udev/rules.d/). Trennen Sie danach "
     u"die Programmiereinheit vom USB-Port und stecken Sie sie erneut ein."},
    {20121,
     u"The settings could not be saved to %s. The settings were NOT saved; the "
     u"existing file is unchanged.",
     u"Die Einstellungen konnten nicht in %s gespeichert werden. Die Einstellungen "
     u"wurden NICHT gespeichert, die vorhandene Datei ist unverändert."},
    {20122, u"Binary File (*.bin)", u"Binärdatei (*.bin)"},
    {20130,
     u"The flash memory of the ESC could not be closed after writing. The "
     u"configuration may not have been stored.",
     u"Der Flash-Speicher des Reglers konnte nach dem Schreiben nicht geschlossen "
     u"werden. Die Konfiguration wurde möglicherweise nicht gespeichert."},
    {20131,
     u"The System-Lock of the programming unit could not be released after "
     u"writing. The configuration may not have been stored.",
     u"Die Systemsperre der Programmiereinheit konnte nach dem Schreiben nicht "
     u"aufgehoben werden. Die Konfiguration wurde möglicherweise nicht gespeichert."},
    {20132,
     u"The configuration was written, but it could not be read back from the ESC "
     u"for checking. It may not have been stored.",
     u"Die Konfiguration wurde geschrieben, konnte aber zur Kontrolle nicht vom "
     u"Regler zurückgelesen werden. Sie wurde möglicherweise nicht gespeichert."},
    {20133,
     u"The ESC holds other data than was stored: the first difference is at byte "
     u"0x%02X of the configuration. The configuration was NOT stored correctly. "
     u"Please store it again; if that fails too, restore a backup with \"Load "
     u"file\" and \"Store on ESC\".",
     u"Der Regler enthält andere Daten als gespeichert wurden: Der erste "
     u"Unterschied liegt bei Byte 0x%02X der Konfiguration. Die Konfiguration wurde "
     u"NICHT richtig gespeichert. Bitte speichern Sie sie erneut; schlägt auch das "
     u"fehl, stellen Sie eine Sicherung mit \"Datei laden\" und \"Auf Regler "
     u"speichern\" wieder her."},
    {20134,
     u"Before storing, the configuration held by the ESC is saved as a backup, "
     u"but the backup could not be written to %s (%s). Nothing was stored on the "
     u"ESC.",
     u"Vor dem Speichern wird die Konfiguration des Reglers gesichert, die "
     u"Sicherung konnte aber nicht nach %s geschrieben werden (%s). Es wurde nichts "
     u"auf dem Regler gespeichert."},
    {20135,
     u"The configuration of the ESC is erased, probably by an interrupted store. "
     u"Restore the newest backup of this ESC family and model?\r\n\r\n%s",
     u"Die Konfiguration des Reglers ist gelöscht, vermutlich durch ein "
     u"unterbrochenes Speichern. Die neueste Sicherung dieser Reglerfamilie und "
     u"dieses Modells wiederherstellen?\r\n\r\n%s"},
    {20136,
     u"The configuration of the ESC is damaged (its checksum is wrong). Restore "
     u"the newest backup of this ESC family and model?\r\n\r\n%s",
     u"Die Konfiguration des Reglers ist beschädigt (ihre Prüfsumme ist falsch). "
     u"Die neueste Sicherung dieser Reglerfamilie und dieses Modells "
     u"wiederherstellen?\r\n\r\n%s"},
    {20137,
     u"The configuration of the ESC is erased, probably by an interrupted store, "
     u"and there is no backup of this ESC family and model. Load a configuration "
     u"file or a default set, then store it on the ESC.",
     u"Die Konfiguration des Reglers ist gelöscht, vermutlich durch ein "
     u"unterbrochenes Speichern, und es gibt keine Sicherung dieser Reglerfamilie "
     u"und dieses Modells. Laden Sie eine Konfigurationsdatei oder Modelldefaults "
     u"und speichern Sie sie auf dem Regler."},
    {20138,
     u"The configuration of the ESC is damaged (its checksum is wrong), and there "
     u"is no backup of this ESC family and model. Load a configuration file or a "
     u"default set, then store it on the ESC.",
     u"Die Konfiguration des Reglers ist beschädigt (ihre Prüfsumme ist falsch), "
     u"und es gibt keine Sicherung dieser Reglerfamilie und dieses Modells. Laden "
     u"Sie eine Konfigurationsdatei oder Modelldefaults und speichern Sie sie auf "
     u"dem Regler."},
    {20139,
     u"The settings could not be saved to %s. The settings were NOT saved.",
     u"Die Einstellungen konnten nicht in %s gespeichert werden. Die Einstellungen "
     u"wurden NICHT gespeichert."},
    {20140,
     u"The configuration shown is the erased one of the ESC: there is nothing to "
     u"store. Load a configuration file or a default set first.",
     u"Die angezeigte Konfiguration ist die gelöschte des Reglers: Es gibt nichts "
     u"zu speichern. Laden Sie zuerst eine Konfigurationsdatei oder Modelldefaults."},
    {20150,
     u"The configuration to store does not have the block length of this ESC's "
     u"parameter set. Nothing was written to the ESC.",
     u"Die zu speichernde Konfiguration hat nicht die Blocklänge des "
     u"Parametersatzes dieses Reglers. Es wurde nichts auf den Regler geschrieben."},
    {20151,
     u"The configuration of the ESC cannot be read (its length word is wrong). "
     u"Restore the newest backup of this ESC family and model?\r\n\r\n%s",
     u"Die Konfiguration des Reglers kann nicht gelesen werden (ihre Längenangabe "
     u"ist falsch). Die neueste Sicherung dieser Reglerfamilie und dieses Modells "
     u"wiederherstellen?\r\n\r\n%s"},
    {20152,
     u"The configuration of the ESC cannot be read (its length word is wrong), and "
     u"there is no backup of this ESC family and model. Load a configuration file "
     u"or a default set, then store it on the ESC.",
     u"Die Konfiguration des Reglers kann nicht gelesen werden (ihre Längenangabe "
     u"ist falsch), und es gibt keine Sicherung dieser Reglerfamilie und dieses "
     u"Modells. Laden Sie eine Konfigurationsdatei oder Modelldefaults und "
     u"speichern Sie sie auf dem Regler."},
    {20153,
     u"The configuration the ESC holds cannot be read (its length word is wrong), "
     u"so it cannot be backed up. The store goes on without a backup.",
     u"Die Konfiguration des Reglers kann nicht gelesen werden (ihre Längenangabe "
     u"ist falsch) und deshalb nicht gesichert werden. Das Speichern wird ohne "
     u"Sicherung fortgesetzt."},
    {20154,
     u"The programming unit answered with error code 0x%08x.",
     u"Die Programmiereinheit hat mit dem Fehlercode 0x%08x geantwortet."},
    {20155,
     u"A programming unit (LINKBOX or LINKPUCK) was found at %s, but Windows "
     u"denied access to it: another program may be using it. Close that program, "
     u"then unplug the programming unit and plug it in again.",
     u"Unter %s wurde eine Programmiereinheit (LINKBOX oder LINKPUCK) gefunden, "
     u"Windows hat den Zugriff darauf jedoch verweigert: Möglicherweise verwendet "
     u"ein anderes Programm sie. Schließen Sie dieses Programm. Trennen Sie danach "
     u"die Programmiereinheit vom USB-Port und stecken Sie sie erneut ein."},
    {20156,
     u"A programming unit (LINKBOX or LINKPUCK) was found, but the browser could "
     u"not open it. Close any other program or browser tab that uses it, then "
     u"unplug the programming unit and plug it in again. On Linux the browser "
     u"opens it with your own rights: install the udev rule \"70-tavio.rules\" to "
     u"/etc/udev/rules.d/ first.",
     u"Eine Programmiereinheit (LINKBOX oder LINKPUCK) wurde gefunden, der Browser "
     u"konnte sie jedoch nicht öffnen. Schließen Sie jedes andere Programm und "
     u"jeden anderen Browser-Tab, der sie verwendet. Trennen Sie danach die "
     u"Programmiereinheit vom USB-Port und stecken Sie sie erneut ein. Unter Linux "
     u"öffnet der Browser sie mit Ihren eigenen Rechten: Installieren Sie zuvor die "
     u"udev-Regel \"70-tavio.rules\" nach /etc/udev/rules.d/."},
    {20200, u"Load Model Defaults", u"Modelldefaults laden"},
    {20201, u"Model Type", u"Modelltyp"},
    {20202,
     u"For loading defaulds please select model type. Then press OK. Please "
     u"consider that all made programming options are lost by this action.The "
     u"stored stick ways are kept.",
     u"Wählen Sie zum Laden von Defaultwerten den Modelltyp aus und bestätigen Sie "
     u"mit OK. Bitte beachten Sie, dass dadurch alle bisher gemachten "
     u"Einstellungen verloren gehen. Nur die zuvor im Regler programmierten "
     u"Knüppelwege bleiben erhalten!"},
    {20203,
     u"For loading defaults please select model type. Then press OK. Please "
     u"consider that all made programming options are lost by this action.The "
     u"stored stick ways are kept.",
     u"Wählen Sie zum Laden von Defaultwerten den Modelltyp aus und bestätigen Sie "
     u"mit OK. Bitte beachten Sie, dass dadurch alle bisher gemachten "
     u"Einstellungen verloren gehen. Nur die zuvor im Regler programmierten "
     u"Knüppelwege bleiben erhalten!"},
    {20204, u"Cancel", u"Abbrechen"},
    {20205, u"OK", u"OK"},
    {20211, u"Sail plane", u"Segelflugzeug"},
    {20212, u"Sports plane", u"Motorflugzeug"},
    {20213, u"Helicopter", u"Helikopter"},
    {20214, u"RC Car", u"RC Car"},
    {20216, u"Multicopter", u"Multikopter (Andere Stabi-Systeme)"},
    {20217, u"Forward/Reverse", u"Vorwärts/Rückwärts"},
    {20218, u"Reverserotation", u"Drehrichtungsumkehr"},
    {20219, u"Reset (Mode 1)", u"Reset (Mode 1)"},
    {20220, u"Reset (DJI-Mode)", u"Reset (DJI-Modus)"},
    {20230,
     u"The settings shown differ from the ones stored on the ESC.\r\n\r\n"
     u"Do you want to store the changes on the ESC before closing?",
     u"Die angezeigten Einstellungen weichen von den auf dem Regler gespeicherten "
     u"ab.\r\n\r\n"
     u"Möchten Sie die Änderungen vor dem Schließen auf dem Regler speichern?"},
};

constexpr bool IdsAscend() {
  for (std::size_t i = 1; i < std::size(kStrings); ++i) {
    if (kStrings[i - 1].id >= kStrings[i].id) return false;
  }
  return true;
}
static_assert(IdsAscend(), "LookUpString searches the table by ID");

constexpr bool HasText(StringId id) {
  const auto* row = std::find_if(std::begin(kStrings), std::end(kStrings), [id](const StringRow& r) { return r.id == id; });
  return row != std::end(kStrings) && !row->english.empty() && !row->german.empty();
}
// Every parameter's label and help texts are here, in both languages.
constexpr bool EveryParameterHasItsTexts() {
  return std::all_of(Parameters().begin(), Parameters().end(), [](const Parameter& row) {
    return HasText(row.help) && (row.family_help == 0 || HasText(row.family_help)) &&
           (row.label_text == 0 ? row.label_literal != nullptr : HasText(row.label_text));
  });
}
static_assert(EveryParameterHasItsTexts(), "a parameter's label or help ID has no text in the string table");

constexpr auto kIds = [] {
  std::array<StringId, std::size(kStrings)> ids{};
  for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = kStrings[i].id;
  return ids;
}();

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsLower(std::string_view text, std::string_view lower) {
  return text.size() == lower.size() &&
         std::equal(text.begin(), text.end(), lower.begin(),
                    [](char a, char b) { return AsciiLower(a) == b; });
}

}  // namespace

TextView LookUpString(Language language, StringId id) {
  const auto* row = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const StringRow& r, StringId wanted) { return r.id < wanted; });
  if (row == std::end(kStrings) || row->id != id) return {};
  return language == Language::German ? row->german : row->english;
}

Language LanguageFromLocaleName(std::string_view name) {
  // POSIX ("de_DE.UTF-8@euro"), BCP 47 ("de-AT"), LANGUAGE lists ("de:en")
  // and Windows names ("German_Germany.1252") all lead with the language.
  const std::string_view language = name.substr(0, name.find_first_of("_-.@:"));
  for (std::string_view german : {"de", "deu", "ger", "german", "deutsch"}) {
    if (EqualsLower(language, german)) return Language::German;
  }
  return Language::English;
}

std::span<const StringId> AllStringIds() { return kIds; }

}  // namespace tavio
