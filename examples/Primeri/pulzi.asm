***********************************************************************
* pulzi.asm - štetje impulzov s pulznim akumulatorjem
*
* Pulzni akumulator PACNT šteje robove na nogici PA7. Vsak rob postavi
* zastavico PAIF (prekinitev na $00CA), prehod PACNT iz $FF na $00 pa
* zastavico PAOVF (prekinitev na $00CD). Podprogram za preliv šteje
* stotine impulzov v višjem bajtu, tako da je skupno število impulzov
* VISJI * 256 + PACNT. Podprogram za rob prepiše PACNT na vrata B.
*
* V simulatorju: v oknu vrat nekajkrat spremeni nogico PA7 in opazuj
* PACNT, vrata B in spremenljivko VISJI.
***********************************************************************

PORTB   EQU     $1004
TMSK2   EQU     $1024           PAOVI je bit 5, PAII bit 4
TFLG2   EQU     $1025           PAOVF je bit 5, PAIF bit 4
PACTL   EQU     $1026           PAEN bit 6, PAMOD bit 5, PEDGE bit 4
PACNT   EQU     $1027           števec impulzov

PAOV    EQU     %00100000
PAI     EQU     %00010000

        ORG     $0000

ZACETEK LDS     #$00C3
        CLR     VISJI
        CLR     PACNT
        LDAA    #%01010000      PAEN = 1, PAMOD = 0 (štetje robov), PEDGE = 1 (dvig)
        STAA    PACTL
        LDAA    #PAOV+PAI
        STAA    TFLG2           pobriši obe zastavici
        STAA    TMSK2           dovoli obe prekinitvi
        CLI

ZANKA   LDAA    PACNT           glavni program le bere števec
        BRA     ZANKA

* Prekinitev ob robu na PA7
PAI_PR  LDAA    #PAI
        STAA    TFLG2           pobriši PAIF
        LDAA    PACNT
        STAA    PORTB
        RTI

* Prekinitev ob prelivu PACNT. Isti rob je postavil tudi PAIF, a njegova
* prekinitev med tem podprogramom ne more priti na vrsto: rob obdelamo kar
* tu in pobrišemo obe zastavici, sicer PAIF ostane postavljen in nobena
* naslednja prekinitev roba ne pride.
PAOV_PR LDAA    #PAOV+PAI
        STAA    TFLG2           pobriši PAOVF in PAIF
        INC     VISJI           še 256 impulzov
        LDAA    PACNT
        STAA    PORTB
        RTI

VISJI   RMB     1               višji bajt števila impulzov

        ORG     $00CA           psevdovektor roba na PA7
        JMP     PAI_PR
        ORG     $00CD           psevdovektor preliva PACNT
        JMP     PAOV_PR

        END
