***********************************************************************
* utripanje.asm - utripanje nogice PA6 s prekinitvijo primerjalnika OC2
*
* Primerjalnik OC2 ob vsakem ujemanju števca TCNT z registrom TOC2 sam
* preklopi nogico PA6 (v TCTL1 izberemo način "preklopi"). Prekinitveni
* podprogram nato prestavi TOC2 za PERIODA ciklov naprej, pobriše zastavico
* OC2F in prešteje preklope v spremenljivki STEVEC.
*
* V simulatorju: naloži TEMP$$.LST, izberi začetni naslov $0000 in izvajaj
* po korakih ali nenehno. V oknu vrat opazuj nogico PA6, v oknu
* spremenljivk pa STEVEC.
***********************************************************************

* Registri časovnika (blok registrov je na $1000)
PORTA   EQU     $1000           vrata A, PA6 je izhod primerjalnika OC2
TCNT    EQU     $100E           prosto tekoči števec (16 bitov)
TOC2    EQU     $1018           primerjalni register OC2 (16 bitov)
TCTL1   EQU     $1020           akcije primerjalnikov OC2-OC5 na nogicah
TMSK1   EQU     $1022           dovolitve prekinitev primerjalnikov
TFLG1   EQU     $1023           zastavice primerjalnikov

OC2     EQU     %01000000       bit OC2 v TMSK1 in TFLG1
PERIODA EQU     500             ciklov E med dvema preklopoma

        ORG     $0000           program v RAM, začetni naslov $0000

ZACETEK LDS     #$00C3          sklad pod tabelo psevdovektorjev
        CLR     STEVEC
        LDAA    #%01000000      OM2:OL2 = 01: ob ujemanju preklopi PA6
        STAA    TCTL1
        LDD     TCNT            prvo ujemanje čez PERIODA ciklov
        ADDD    #PERIODA
        STD     TOC2
        LDAA    #OC2            zastavico brišemo z vpisom enice
        STAA    TFLG1
        STAA    TMSK1           dovolimo prekinitev OC2
        CLI                     in prekinitve nasploh

* Glavna zanka nima kaj početi: vse delo opravi prekinitev.
ZANKA   LDAA    STEVEC
        BRA     ZANKA

* Prekinitveni podprogram OC2: naslednje ujemanje čez PERIODA ciklov
OC2_PR  LDD     TOC2
        ADDD    #PERIODA
        STD     TOC2
        LDAA    #OC2
        STAA    TFLG1           pobriši OC2F, sicer ni nove prekinitve
        INC     STEVEC          en preklop več
        RTI

STEVEC  RMB     1               število preklopov (šteje po modulu 256)

* Psevdovektor OC2: procesor skoči na $00DC, od tam pa v podprogram.
        ORG     $00DC
        JMP     OC2_PR

        END
