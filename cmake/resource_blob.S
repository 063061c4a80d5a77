/* The module's compiled resources, for the POSIX build: the host finds
   them through the exported Resources record. */
    .section .rodata
    .balign 16
    .globl zaz_resource_begin
    .hidden zaz_resource_begin
zaz_resource_begin:
    .incbin ZAZ_RES_FILE
    .globl zaz_resource_end
    .hidden zaz_resource_end
zaz_resource_end:
    .byte 0
    .section .note.GNU-stack,"",@progbits
