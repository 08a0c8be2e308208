***********************************************************************
* swi.asm - programska prekinitev SWI
*
* Ukaz SWI shrani vse registre na sklad in skoči na psevdovektor $00F7.
* Prekinitveni podprogram tu deluje kot "sistemski klic": register A pove,
* katero storitev želimo. RTI obnovi registre in nadaljuje za ukazom SWI.
*
*   A = 'K': povečaj števec KLICI
*   A = 'B': zapiši B na vrata B
*
* Znak zapišemo kot 'K' ali brez zaključnega opuščaja kot 'K.
*
* V simulatorju opazuj okno sklada med izvajanjem podprograma.
***********************************************************************

PORTB   EQU     $1004           vrata B (izhod)

        ORG     $0000

ZACETEK LDS     #$00C3
        CLR     KLICI
        CLRB
ZANKA   LDAA    #'K'            storitev K: štej klice
        SWI
        INCB
        LDAA    #'B'            storitev B: B na vrata B
        SWI
        BRA     ZANKA

* Podprogram SWI. Na skladu so CCR, B, A, X, Y in povratni naslov.
SWI_PR  CMPA    #'K
        BNE     SWI2
        INC     KLICI
        RTI
SWI2    CMPA    #'B
        BNE     SWI_KON
        STAB    PORTB
SWI_KON RTI                     neznana storitev: nič

KLICI   RMB     1

        ORG     $00F7           psevdovektor SWI
        JMP     SWI_PR

        END
