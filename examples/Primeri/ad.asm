***********************************************************************
* ad.asm - analogno-digitalna pretvorba
*
* Pretvornik vklopimo z bitom ADPU v registru OPTION. Vpis v ADCTL sproži
* zaporedje štirih pretvorb; z MULT = 1 pretvori kanale 0 do 3 in rezultate
* zapiše v ADR1 do ADR4. Ko je zaporedje končano, se postavi bit CCF.
* Program počaka na CCF z ukazom BRCLR, izračuna povprečje štirih
* rezultatov in ga zapiše na vrata B ter v POVPRECJE.
*
* V simulatorju: vhodno napetost nastaviš v nastavitvah (stran A/D).
***********************************************************************

REGS    EQU     $1000           začetek bloka registrov
PORTB   EQU     $04             odmiki od REGS, za naslavljanje z X
ADCTL   EQU     $30
ADR1    EQU     $31
OPTION  EQU     $39

ADPU    EQU     %10000000       vklop pretvornika v OPTION
CCF     EQU     %10000000       zaporedje končano, v ADCTL
MULT    EQU     %00010000       štirje kanali v enem zaporedju

        ORG     $0000

ZACETEK LDS     #$00C3
        LDX     #REGS           X kaže na blok registrov
        BSET    OPTION,X #ADPU  vklopi pretvornik
        LDAA    #200            pred prvo pretvorbo počakaj vsaj 100 us
CAKAJ   DECA
        BNE     CAKAJ

MERI    LDAA    #MULT           kanali 0-3, eno zaporedje
        STAA    ADCTL,X         vpis sproži novo zaporedje
KONEC   BRCLR   ADCTL,X #CCF KONEC   čakaj na konec zaporedja
        CLRA                    D := ADR1 + ADR2 + ADR3 + ADR4
        LDAB    ADR1,X
        ADDB    ADR1+1,X
        ADCA    #0
        ADDB    ADR1+2,X
        ADCA    #0
        ADDB    ADR1+3,X
        ADCA    #0
        LSRD                    deljeno s 4
        LSRD
        STAB    PORTB,X
        STAB    POVPRECJE
        BRA     MERI            in znova

POVPRECJE RMB   1               povprečje zadnjih štirih pretvorb

        END
