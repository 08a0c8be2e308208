***********************************************************************
* zanka.asm - zanka, podprogrami in sklad
*
* Program sešteje števila v tabeli, vsoto podvoji s podprogramom in jo
* shrani. Podprogrami pokažejo klic (JSR, BSR), vrnitev (RTS) in
* shranjevanje registrov na sklad (PSHA, PSHX, PULA, PULX).
*
* V simulatorju opazuj okno sklada: ob klicu se nanj shrani povratni
* naslov, ob PSHx pa vsebina registra.
***********************************************************************

        ORG     $0000

ZACETEK LDS     #$00C3          vrh sklada pod psevdovektorji
ZNOVA   LDX     #TABELA         X kaže na prvi element
        LDAB    #DOLZINA        B šteje elemente
        CLRA                    A je vsota
SESTEJ  ADDA    0,X             prištej element
        INX                     naslednji element
        DECB
        BNE     SESTEJ          dokler B ni 0
        STAA    VSOTA
        JSR     PODVOJI         A := 2 * A
        STAA    DVOJNA
        BSR     OBRNI           obrne vrstni red bajtov tabele
        BRA     ZNOVA           in vse skupaj znova

* PODVOJI: A := 2 * A. Registra B in X ostaneta nespremenjena.
PODVOJI PSHB                    shrani B na sklad
        TAB
        ABA                     A := A + B
        PULB                    obnovi B
        RTS

* OBRNI: obrne vrstni red elementov tabele. Registri ostanejo.
OBRNI   PSHA
        PSHB
        PSHX
        LDX     #TABELA         X: levi konec
        LDY     #TABELA+DOLZINA-1  Y: desni konec
OBRNI1  CPX     #TABELA+DOLZINA/2
        BHS     OBRNI2          konec, ko se srečata
        LDAA    0,X             zamenjaj levi in desni element
        LDAB    0,Y
        STAA    0,Y
        STAB    0,X
        INX
        DEY
        BRA     OBRNI1
OBRNI2  PULX                    registre obnovimo v obratnem vrstnem redu
        PULB
        PULA
        RTS

TABELA  FCB     1,2,3,4,5,6,7,8
DOLZINA EQU     *-TABELA        število elementov
VSOTA   RMB     1
DVOJNA  RMB     1

        END
