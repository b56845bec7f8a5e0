/* Version 4: deleting a resource takes its daily balances with it in the same
   statement, so a delete the database refuses (entries still use the resource)
   leaves every balance where it was. The balances are kept by the server from the
   entries; a resource's balances without its entries mean nothing. */

SET TERM ^ ;

CREATE TRIGGER RECURSO_APAGA_SALDOS FOR RECURSO ACTIVE BEFORE DELETE POSITION 0 AS
BEGIN
  DELETE FROM SALDOCAIXA WHERE CDRECURSO = OLD.CDRECURSO;
END^

SET TERM ; ^
