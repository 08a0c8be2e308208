***********************************************************************
* rti.asm - ura s prekinitvijo realnega časa (RTI)
*
* Prekinitev realnega časa pride vsakih 4096 ciklov E (RTR = 00 v PACTL),
* pri kristalu 8 MHz (E = 2 MHz) torej na 2,048 ms. Podprogram šteje
* prekinitve v TIKI; vsakih TIKOVS prekinitev poveča SEKUNDE in jih
* zapiše na vrata B.
*
* V simulatorju teče ura mnogo počasneje kot na ploščici: za eno
* prekinitev je treba izvesti nekaj tisoč ciklov. Postavi TIKOVS na manjšo
* vrednost, če želiš hitreje videti spremembo na vratih B.
***********************************************************************

PORTB   EQU     $1004           vrata B (izhod)
TMSK2   EQU     $1024           RTII je bit 6
TFLG2   EQU     $1025           RTIF je bit 6
PACTL   EQU     $1026           RTR1:RTR0 sta bita 1 in 0

RTIBIT  EQU     %01000000       bit RTII/RTIF
TIKOVS  EQU     244             približno ena sekunda pri 2,048 ms

        ORG     $0000

ZACETEK LDS     #$00C3
        CLR     TIKI
        CLR     SEKUNDE
        LDAA    PACTL
        ANDA    #%11111100      RTR = 00: najkrajša perioda
        STAA    PACTL
        LDAA    #RTIBIT
        STAA    TFLG2           pobriši RTIF
        STAA    TMSK2           dovoli prekinitev RTI
        CLI

ZANKA   WAI                     čakaj na prekinitev
        BRA     ZANKA

* Prekinitev realnega časa
RTI_PR  LDAA    #RTIBIT
        STAA    TFLG2           pobriši RTIF
        INC     TIKI
        LDAA    TIKI
        CMPA    #TIKOVS
        BLO     RTI_KON         sekunda še ni minila
        CLR     TIKI
        INC     SEKUNDE
        LDAA    SEKUNDE
        STAA    PORTB           pokaži sekunde na vratih B
RTI_KON RTI

TIKI    RMB     1               prekinitve v tekoči sekundi
SEKUNDE RMB     1               pretečene sekunde (po modulu 256)

        ORG     $00EE           psevdovektor RTI
        JMP     RTI_PR

        END
