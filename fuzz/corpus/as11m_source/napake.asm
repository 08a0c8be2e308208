* napake
        ORG $0000
ZAC     LDAA    #$1FF
        BRA     nikamor
1X      NOP
        FOO     1
        LDAB    ZAC
        END
