CREATE VIEW dbo.Totals (Customer, Total) WITH VIEW_METADATA AS
SELECT c.Name, SUM(o.Amount) FROM Customers c JOIN Orders o ON o.CustomerId = c.Id
WHERE c.City IN (SELECT City FROM Cities) GROUP BY c.Name WITH CHECK OPTION
