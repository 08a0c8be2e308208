***********************************************************************
* zajem.asm - merjenje periode z vhodnim zajemom na nogici PA0
*
* Ob izbranem robu na nogici PA0 časovnik prepiše števec TCNT v register
* TIC3, postavi zastavico IC3F in sproži prekinitev (psevdovektor $00E5).
* Prekinitveni podprogram izračuna razliko med zadnjima dvema zajemoma,
* to je periodo signala v ciklih E, in jo shrani v PERIODA.
*
* V simulatorju: v oknu vrat nekajkrat spremeni nogico PA0 (dvigni in
* spusti) med nenehnim izvajanjem, nato poglej PERIODA in ROBOVI.
***********************************************************************

TIC3    EQU     $1014           zajeti čas za PA0 (16 bitov)
TCTL2   EQU     $1021           izbira robov za vhodne zajeme
TMSK1   EQU     $1022
TFLG1   EQU     $1023

IC3     EQU     %00000001       bit IC3 (nogica PA0) v TMSK1 in TFLG1

        ORG     $0000

ZACETEK LDS     #$00C3
        CLR     ROBOVI
        LDD     #0
        STD     PERIODA
        STD     ZADNJI
        LDAA    #%00000001      EDG3B:EDG3A = 01: zajem ob dvigu
        STAA    TCTL2
        LDAA    #IC3
        STAA    TFLG1           pobriši morebitno staro zastavico
        STAA    TMSK1           dovoli prekinitev IC3
        CLI

ZANKA   LDD     PERIODA         glavni program le bere rezultat
        BRA     ZANKA

* Prekinitev vhodnega zajema: perioda = zdajšnji zajem - prejšnji zajem.
* Prvi rob da še nesmiselno periodo, ker prejšnjega zajema ni bilo.
IC3_PR  LDD     TIC3
        SUBD    ZADNJI          razlika je pravilna tudi čez preliv TCNT
        STD     PERIODA
        LDD     TIC3
        STD     ZADNJI          zapomni si zajem za naslednji rob
        INC     ROBOVI
        LDAA    #IC3
        STAA    TFLG1           pobriši IC3F, sicer ni novega zajema
        RTI

PERIODA RMB     2               zadnja perioda v ciklih E
ZADNJI  RMB     2               prejšnji zajeti čas
ROBOVI  RMB     1               število zajetih robov

        ORG     $00E5           psevdovektor vhodnega zajema na PA0
        JMP     IC3_PR

        END
