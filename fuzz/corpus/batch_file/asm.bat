TEMP$$.ASM\xAS11M %1 -l s c
