***********************************************************************
* swi.asm - programska prekinitev SWI
*
* Ukaz SWI shrani vse registre na sklad in skoči na psevdovektor $00F7.
* Prekinitveni podprogram tu deluje kot "sistemski klic": register A pove,
* katero storitev želimo. RTI obnovi registre in nadaljuje za ukazom SWI.
*
*   A = 1: povečaj števec KLICI
*   A = 2: zapiši B na vrata B
*
* V simulatorju opazuj okno sklada med izvajanjem podprograma.
***********************************************************************

PORTB   EQU     $1004           vrata B (izhod)

        OR